// --preview: the same diagnostics as veska, the geometry of the worked
// example, and the picture's text; the command line of veska-inspect.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdio>

#include "definition/reader.h"
#include "driver/run_state.h"
#include "inspect/command_line.h"
#include "inspect/preview_geometry.h"
#include "inspect/svg_output.h"
#include "lights/ground_pitch.h"
#include "tests/inspect/inspect_support.h"
#include "tools/mdl_builder/mdl_builder.h"

namespace {

constexpr double PI = 3.141592653589793;

class Preview : public ::testing::Test {
protected:
    void SetUp() override { reset_program_state(); }
    void TearDown() override { reset_program_state(); }

    // The geometry of a definition, computed as --preview computes it.
    PreviewGeometry geometry_of(const std::string& text)
    {
        write_file_text(definition_, text);
        run_state.definition_name = definition_.c_str();
        ConsoleCapture quiet;
        std::FILE* file = std::fopen(definition_.c_str(), "r");
        EXPECT_EQ(read_definition_file(file), 0);
        std::fclose(file);
        EXPECT_EQ(compute_lights(), 0);
        return compute_preview_geometry(run_state.light_count);
    }

    ScratchDir dir_;
    std::string definition_ = dir_.file("lights.cfg");
    std::string svg_ = dir_.file("lights.svg");
};

std::string without_last_line(const std::string& text)
{
    const std::size_t end = text.rfind('\n', text.size() - 2);
    return end == std::string::npos ? "" : text.substr(0, end + 1);
}

TEST_F(Preview, PrintsTheDefinitionsMessagesAsVeskaDoes)
{
    const std::string worked = worked_definition(2);
    struct Case {
        const char* name;
        std::string definition;
        bool complete;
        unsigned drawn;  // lights 1 .. drawn are in the picture, whatever veska stopped at
    };
    const Case cases[] = {
        {"two lights", worked, true, 2},
        {"a warning and an info", "[Main]\nLights=1\n[Light 1]\nDirection=3 deg\n", true, 1},
        {"a bad unit", worked + "SpotWidth=3 yd\n", false, 2},
        {"a missing light section", worked_definition(3).substr(0, worked_definition(3).find("[Light 3]")), false, 2},
        {"an unknown section", worked + "[Light 4]\n", false, 2},
        {"an invalid number of lights", "[Main]\nLights=5\n[Light 1]\nZOffset=1\n", false, 0},
        {"no [Main]", "[Light 1]\nZOffset=1\n", false, 1},
        {"a beam that cannot be computed", worked + "MaxRange=0\n", false, 1},
    };
    const std::string model = dir_.file("plane.mdl");
    write_file_bytes(model, mdl_builder::build_sample_mdl());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write_file_text(definition_, c.definition);
        std::string expected = run_veska_quietly({model, dir_.file("lit.mdl"), definition_}).output;
        if (expected.rfind("MDL file ") != std::string::npos) {
            expected = without_last_line(expected);
        }
        const Captured r = run_inspector({"--preview", definition_, svg_});
        EXPECT_EQ(without_last_line(r.output), expected);
        EXPECT_EQ(r.exit_code, c.complete ? 0 : 1);
        const std::string picture = read_file_text(svg_);
        EXPECT_EQ(picture.find("id=\"incomplete\"") == std::string::npos, c.complete);
        EXPECT_EQ(picture.rfind("</svg>\n"), picture.size() - 7);
        for (unsigned n = 1; n <= 3; ++n) {
            const std::string light = "id=\"light-" + std::to_string(n) + "-top\"";
            EXPECT_EQ(picture.find(light) != std::string::npos, n <= c.drawn) << light;
        }
    }
}

TEST_F(Preview, WorkedExampleGroundLineAimPointAndLitArea)
{
    const PreviewGeometry g = geometry_of(worked_definition(1));
    // The ground line runs through both contact points at the ground pitch.
    EXPECT_NEAR(ground_height(g, 1.0), -2.0, 1e-12);
    EXPECT_NEAR(ground_height(g, -8.0), -0.5, 1e-12);
    EXPECT_NEAR((ground_height(g, 21.0) - ground_height(g, 1.0)) / 20.0, -ground_geometry.slope, 1e-12);
    EXPECT_NEAR(ground_geometry.slope, 1.0 / 6.0, 1e-12);
    EXPECT_TRUE(g.gear_given);
    EXPECT_TRUE(g.other_gear_is_tail);

    // With the aircraft at the light's pitch, the aim point lies MaxRange
    // ahead of the light and the light's height h below it.
    const PreviewLight& light = g.lights[0];
    ASSERT_TRUE(light.computed);
    const double pitch = std::atan(1.0 / 6.0);
    const double h = 0.5 + 2.0 + (1.5 - 1.0) / 6.0;
    const double dx = light.aim.x - 3.0;
    const double dy = light.aim.y - 0.5;
    const double dz = light.aim.z - 1.5;
    const double ahead = std::hypot(dx, dz);
    EXPECT_NEAR(ahead * std::cos(pitch) - dy * std::sin(pitch), 30.0, 1e-9);
    EXPECT_NEAR(ahead * std::sin(pitch) + dy * std::cos(pitch), -h, 1e-9);
    EXPECT_NEAR(std::atan2(dx, dz) / PI * 180.0, 10.0, 1e-9);
    EXPECT_NEAR(light.inclination_deg, -14.3840, 1e-4);
    EXPECT_NEAR(light.pitch_deg, 9.4623, 1e-4);

    // The beam meets the ground; the spot outline carried along it lies on
    // the ground with its apex, the light's own point, next to that place.
    ASSERT_TRUE(light.lit);
    EXPECT_NEAR(light.ground_hit.y, ground_height(g, light.ground_hit.z), 1e-9);
    for (const Point3& p : light.lit_area) {
        EXPECT_NEAR(p.y, ground_height(g, p.z), 1e-9);
    }
    EXPECT_LT(std::hypot(light.lit_area[0].x - light.ground_hit.x, light.lit_area[0].z - light.ground_hit.z), 1.0);

    // Straight ahead, the lit area is SpotDepth deep along the ground, within
    // what the outline's units allow.
    std::string straight = worked_definition(1);
    straight.replace(straight.find("Direction=10"), 12, "Direction=0");
    reset_program_state();
    const PreviewGeometry s = geometry_of(straight);
    double nearest = s.lights[0].lit_area[0].z;
    double farthest = nearest;
    for (const Point3& p : s.lights[0].lit_area) {
        nearest = std::fmin(nearest, p.z);
        farthest = std::fmax(farthest, p.z);
    }
    EXPECT_NEAR((farthest - nearest) / std::cos(pitch), 40.0, 1.5);

    // A beam aimed above the ground lights none of it.
    reset_program_state();
    const PreviewGeometry up = geometry_of(worked_definition(1) + "Pitch=-30\n");
    EXPECT_TRUE(up.lights[0].computed);
    EXPECT_FALSE(up.lights[0].lit);
}

TEST_F(Preview, ThePicturesTextAndGroundLine)
{
    write_file_text(definition_, worked_definition(1));
    const Captured r = run_inspector({"--preview", definition_, svg_});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.output.substr(r.output.find("Preview")), "Preview of 1 landing light written to " + svg_ + ".\n");
    const std::string svg = read_file_text(svg_);
    EXPECT_NE(svg.find(">Light 1: pitch=9.46 degrees, beam inclination=-14.38 degrees, MaxRange 30 m<"),
              std::string::npos);
    EXPECT_NE(svg.find(">Ground line: ground pitch 9.46 degrees, through the main gear contact point<"),
              std::string::npos);
    // Pixels grow downwards: the ground falling forwards at 1/6 rises at 1/6.
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    const std::size_t line = svg.rfind("<line", svg.find("id=\"ground-line\""));
    ASSERT_EQ(std::sscanf(svg.c_str() + line, "<line x1=\"%lf\" y1=\"%lf\" x2=\"%lf\" y2=\"%lf\"", &x1, &y1, &x2, &y2),
              4);
    EXPECT_NEAR((y2 - y1) / (x2 - x1), 1.0 / 6.0, 1e-3);
}

TEST_F(Preview, FilesThatCannotBeReadOrWritten)
{
    const Captured missing = run_inspector({"--preview", dir_.file("none.cfg"), svg_});
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_EQ(missing.output, "Error opening definition file " + dir_.file("none.cfg") + ": No such file or directory\n");
    EXPECT_FALSE(file_exists(svg_));

    write_file_text(definition_, worked_definition(1));
    const Captured unwritable = run_inspector({"--preview", definition_, dir_.path()});
    EXPECT_EQ(unwritable.exit_code, EISDIR);
    EXPECT_EQ(without_last_line(unwritable.output) .find("Ground Pitch"), 0u);
    EXPECT_EQ(unwritable.output.substr(unwritable.output.find("Error")),
              "Error opening preview file " + dir_.path() + ": Is a directory\n");
}

TEST(SvgText, EscapesMarkupAndKeepsOnlyValidUtf8)
{
    const struct {
        const char* text;
        const char* written;
    } cases[] = {
        {"plain.cfg", "plain.cfg"},
        {"a&b <c> \"d\" 'e'", "a&amp;b &lt;c&gt; &quot;d&quot; &apos;e&apos;"},
        {"tab\there", "tab\xEF\xBF\xBDhere"},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x9B\xAC", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x9B\xAC"},
        {"bad \xC3 end", "bad \xEF\xBF\xBD end"},
        {"overlong \xC0\xAF", "overlong \xEF\xBF\xBD\xEF\xBF\xBD"},
        {"surrogate \xED\xA0\x80", "surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"cut \xE2\x82", "cut \xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        std::FILE* file = std::tmpfile();
        ASSERT_NE(file, nullptr);
        write_xml_text(file, c.text);
        std::rewind(file);
        char buffer[256] = {};
        const std::size_t got = std::fread(buffer, 1, sizeof buffer - 1, file);
        std::fclose(file);
        EXPECT_EQ(std::string(buffer, got), c.written) << c.text;
    }
}

TEST(CommandLine, HelpVersionAndWhatItDoesNotUnderstand)
{
    const Captured help = run_inspector({"--help"});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_EQ(help.output.rfind(INSPECT_USAGE_TEXT, 0), 0u);
    EXPECT_NE(help.output.find("--strip MODEL [TARGET]\n      Takes the landing lights"), std::string::npos);
    const Captured version = run_inspector({"--version"});
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ(version.output, "veska-inspect (Lumora) " LUMORA_VERSION "\n");

    const struct {
        std::vector<std::string> args;
        const char* problem;
    } cases[] = {
        {{}, "no model or command given"},
        {{"--colour", "a.mdl"}, "unknown option: --colour"},
        {{"-x"}, "unknown option: -x"},
        {{"--strip"}, "--strip takes a model and an optional target"},
        {{"--strip", "a", "b", "c"}, "--strip takes a model and an optional target"},
        {{"--preview", "a.cfg"}, "--preview takes a definition file and the picture's name"},
        {{"a.mdl", "b.mdl"}, "a report takes one model"},
        {{"--help", "more"}, "unknown option: --help"},
    };
    for (const auto& c : cases) {
        const Captured r = run_inspector(c.args);
        EXPECT_EQ(r.exit_code, 2);
        EXPECT_EQ(r.output, std::string("veska-inspect: ") + c.problem + "\n" + INSPECT_USAGE_TEXT);
    }
}

}  // namespace
