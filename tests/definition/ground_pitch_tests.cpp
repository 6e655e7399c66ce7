#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "definition/ground_pitch.h"
#include "definition/keys.h"
#include "tests/support/console_capture.h"

namespace lumora {

namespace {


// Stores the gear values of [Main] in file order other dist, other height,
// main dist, main height (lines 1 to 4); null leaves a key out.
void store_gear(DefinitionSection& main, const char* main_height, const char* main_dist, const char* other_height,
                const char* other_dist)
{
    const char* const values[] = {other_dist, other_height, main_dist, main_height};
    const KeyId keys[] = {KeyId::other_gear_dist, KeyId::other_gear_height, KeyId::main_gear_dist, KeyId::main_gear_height};
    for (int i = 0; i < 4; ++i) {
        if (values[i] != nullptr) {
            EXPECT_TRUE(add_entry(main, keys[i], values[i], static_cast<std::uint32_t>(i + 1)));
        }
    }
}

struct GearCase {
    const char* main_height;
    const char* main_dist;
    const char* other_height;
    const char* other_dist;
    const char* output;
    double pitch_deg;
    double slope;
    double main_gear_height;
    double main_gear_dist;
};

TEST(GroundPitch, ComputesChecksAndPrints)
{
    const GearCase cases[] = {
        // Tail-dragger standing nose up, then a nose-wheel aircraft nose down.
        {"-2", "-1", "-0.5", "8", "Ground Pitch= 9.46 degrees (means pitch up).\n", 9.462322, 1.5 / 9, -2, -1},
        {"-2.5", "1", "-2", "-5", "Ground Pitch=-4.76 degrees (means pitch down).\n", -4.763642, -0.5 / 6, -2.5, 1},
        // Level gear prints a plain zero, whichever gear is ahead.
        {"-1", "0", "-1", "5", "Ground Pitch= 0.00 degrees (means pitch up).\n", 0.0, 0.0, -1, 0},
        {"-1", "5", "-1", "0", "Ground Pitch= 0.00 degrees (means pitch up).\n", 0.0, 0.0, -1, 5},
        // A pitch too small to show still reads as down.
        {"0", "10", "0.0001745", "0", "Ground Pitch=-0.00 degrees (means pitch down).\n", -0.000999832, -1.745e-5, 0, 10},
        // 1 cm is exactly the smallest distance allowed; 0.3 in is below it.
        {"0", "0", "-1 cm", "1 cm", "Ground Pitch=-45.00 degrees (means pitch down).\n", -45.0, -1.0, 0, 0},
        {"-2 ft", "0", "-1", "0.3 in", "Warning in gear.def: Gear distance too small, zero ground pitch assumed.\n",
         0.0, 0.0, -0.6096, 0},
        // Without the other gear nothing is read, not even a bad unit.
        {"2 furlong", "3", nullptr, nullptr,
         "Info in gear.def: Not all gear positions/heights specified, zero ground pitch assumed.\n", 0, 0, 0, 0},
        {"2", "3", "1", nullptr,
         "Info in gear.def: Not all gear positions/heights specified, zero ground pitch assumed.\n", 0, 0, 0, 0},
        {nullptr, "3", "1", "2",
         "Info in gear.def: Not all gear positions/heights specified, zero ground pitch assumed.\n", 0, 0, 0, 0},
    };
    for (const GearCase& c : cases) {
        SCOPED_TRACE(c.output);
        DefinitionSection main;
        store_gear(main, c.main_height, c.main_dist, c.other_height, c.other_dist);
        ConsoleCapture console;
        MessagePrinter printer{console.console()};
        Diagnostics diagnostics{printer, "gear.def"};
        GroundGeometry ground{};
        compute_ground_pitch(diagnostics, main, ground);
        EXPECT_EQ(console.text(), c.output);
        EXPECT_NEAR(ground.pitch_deg, c.pitch_deg, 1e-6);
        EXPECT_NEAR(ground.slope, c.slope, 1e-9);
        EXPECT_DOUBLE_EQ(ground.main_gear_height, c.main_gear_height);
        EXPECT_DOUBLE_EQ(ground.main_gear_dist, c.main_gear_dist);
        EXPECT_FALSE(diagnostics.error_flag);
    }
}

// The values are read main height, main dist, other height, other dist, so
// their unit errors appear in that order; the numbers are used unscaled.
TEST(GroundPitch, BadUnitsAreReportedInReadingOrderAndUsedUnscaled)
{
    DefinitionSection main;
    store_gear(main, "-2 x", "-1 x", "-0.5 x", "8 x");
    ConsoleCapture console;
    MessagePrinter printer{console.console()};
    Diagnostics diagnostics{printer, "gear.def"};
    GroundGeometry ground{};
    compute_ground_pitch(diagnostics, main, ground);
    EXPECT_EQ(console.text(),
              "Error in gear.def: Invalid unit of measurement specification '-2 x' in line 4.\n"
              "Error in gear.def: Invalid unit of measurement specification '-1 x' in line 3.\n"
              "Error in gear.def: Invalid unit of measurement specification '-0.5 x' in line 2.\n"
              "Error in gear.def: Invalid unit of measurement specification '8 x' in line 1.\n"
              "Ground Pitch= 9.46 degrees (means pitch up).\n");
    EXPECT_TRUE(diagnostics.error_flag);
    EXPECT_DOUBLE_EQ(ground.main_gear_height, -2.0);
}

}  // namespace

}  // namespace lumora
