// Where a light's lit area lies on the ground, in figures and in words.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "basics/angles.h"
#include "lights/ground_view.h"
#include "lights/lights_from_definition.h"
#include "tests/support/files.h"
#include "tests/support/worked_example.h"

namespace lumora {

namespace {

// The figures of light 1 of a definition file, computed as veska computes it.
LitAreaFigures figures_of(const std::string& text)
{
    ScratchDir dir;
    const std::string name = dir.file("lights.cfg");
    write_file_text(name, text);
    MessageLog unheard;
    Diagnostics diagnostics{unheard, name};
    Definition definition;
    LightSet lights{};
    SystemFileSystem files;
    EXPECT_EQ(read_and_compute_lights(diagnostics, files, definition, lights, name), LightsOutcome::computed);
    return lit_area_figures(compute_ground_view(definition.ground, lights, definition.light_count), 0);
}

std::string straight_ahead(const std::string& extra)
{
    std::string text = worked_definition(1);
    text.replace(text.find("Direction=10"), 12, "Direction=0");
    return text + extra;
}

// The worked example straight ahead: the aircraft stands at the light's
// pitch, so the aim point is MaxRange ahead over the ground (measured from
// the ground square below the light) and hardly off the ground: the light's
// height h = 2.583 m is taken upright in the model, h (1 - cos P) = 0.035 m
// more than square to the ground. The lit area is SpotDepth deep along the
// ground and SpotWidth wide, both within the outline's units; its far edge
// comes from the outline's apex, the light's position cut to the outline
// unit (0.06 m lower), which on this shallow beam meets the ground over a
// metre short of the aim point.
TEST(LitAreaFigures, StraightAheadOnSlopingGround)
{
    const LitAreaFigures f = figures_of(straight_ahead(""));
    ASSERT_EQ(f.state, LitArea::lit);
    EXPECT_NEAR(f.aim_ahead, 30.0, 1e-9);
    EXPECT_NEAR(f.aim_x, 3.0, 1e-9);
    EXPECT_NEAR(f.aim_height, -2.58333 * (1.0 - std::cos(std::atan(1.0 / 6.0))), 1e-4);
    EXPECT_LT(f.farthest, 30.0 - 1.0);
    EXPECT_GT(f.farthest, 30.0 - 1.5);
    EXPECT_NEAR(f.farthest - f.nearest, 40.0, 1.5);
    EXPECT_NEAR(f.leftmost, 3.0 - 10.0, 0.1);
    EXPECT_NEAR(f.rightmost, 3.0 + 10.0, 0.1);
}

// On level ground the aim point lies MaxRange along the beam's own
// direction: turned by Direction, MaxRange cos(Direction) ahead.
TEST(LitAreaFigures, TurnedOnLevelGround)
{
    const LitAreaFigures f =
        figures_of("[Main]\nLights=1\n[Light 1]\nZOffset=2\nLonOffset=5\nLatOffset=-1\nDirection=-30\n");
    ASSERT_EQ(f.state, LitArea::lit);
    EXPECT_NEAR(f.aim_ahead, 30.0 * std::cos(PI / 6), 1e-9);
    EXPECT_NEAR(f.aim_x, -1.0 - 15.0, 1e-9);
    EXPECT_NEAR(f.aim_height, 0.0, 1e-9);
}

TEST(LitAreaFigures, LightsThatLightNoGround)
{
    EXPECT_EQ(figures_of(worked_definition(1) + "Pitch=-30\n").state, LitArea::beam_not_down);
    EXPECT_EQ(figures_of("[Main]\nLights=1\n[Light 1]\nZOffset=-1\n").state, LitArea::light_not_above);
    EXPECT_EQ(lit_area_figures(GroundView{}, 0).state, LitArea::not_computed);
}

TEST(LitAreaFigures, InWords)
{
    const struct {
        LitAreaFigures figures;
        const char* words;
    } cases[] = {
        {{LitArea::lit, -10.74, 27.46, -5.56, 14.94, 29.6, 8.1, -0.07},
         "lit area 10.7 m behind to 27.5 m ahead of the light, 5.6 m left to 14.9 m right of the aircraft's axis; "
         "aim point 29.6 m ahead, 8.1 m right"},
        {{LitArea::lit, 2.04, 12.0, 1.95, 22.0, 20.0, -0.04, 0.5},
         "lit area 2.0 to 12.0 m ahead of the light, 2.0 to 22.0 m right of the aircraft's axis; aim point 20.0 m "
         "ahead, on the axis (0.5 m above the ground)"},
        {{LitArea::lit, -41.0, -12.3, -22.0, -0.04, -5.0, -3.0, -1.26},
         "lit area 41.0 to 12.3 m behind the light, 22.0 to 0.0 m left of the aircraft's axis; aim point 5.0 m "
         "behind, 3.0 m left (1.3 m below the ground)"},
        {{LitArea::lit, 0.2, 0.3, -0.02, 0.02, 0.3, 0.0, 0.0},
         "lit area 0.2 to 0.3 m ahead of the light, on the aircraft's axis; aim point 0.3 m ahead, on the axis"},
        {{LitArea::light_not_above, 0, 0, 0, 0, 0, 0, 0}, "no lit area: the light is not above the ground"},
        {{LitArea::beam_not_down, 0, 0, 0, 0, 0, 0, 0},
         "no lit area: with the aircraft on its gear the beam does not come down to the ground"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lit_area_description(c.figures), c.words);
    }
}

}  // namespace

}  // namespace lumora
