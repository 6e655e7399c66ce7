#include "definition/ground_pitch.h"

#include <cmath>

#include "basics/angles.h"
#include "basics/number_text.h"
#include "basics/portable_math.h"
#include "definition/keys.h"

namespace lumora {

namespace {

// Gears whose contact points lie closer together than this (in metres,
// along the aircraft) give no usable slope.
constexpr double MIN_GEAR_DISTANCE = 0.01;

// The four gear keys in the order they are checked and read.
constexpr KeyId GEAR_KEYS[] = {
    KEY_MAIN_GEAR_HEIGHT,
    KEY_MAIN_GEAR_DIST,
    KEY_OTHER_GEAR_HEIGHT,
    KEY_OTHER_GEAR_DIST,
};

}  // namespace

void compute_ground_pitch(Diagnostics& diagnostics, const DefinitionSection& main, GroundGeometry& ground)
{
    // Without both contact points the aircraft is taken as standing level;
    // the main-gear values are then not read at all.
    for (const KeyId key : GEAR_KEYS) {
        if (lookup_entry(main, key) == nullptr) {
            report(diagnostics, "iNot all gear positions/heights specified, zero ground pitch assumed.\n");
            ground.pitch_deg = 0.0;
            ground.slope = 0.0;
            return;
        }
    }

    ground.main_gear_height = get_number_with_unit(diagnostics, main, KEY_MAIN_GEAR_HEIGHT, 0.0);
    ground.main_gear_dist = get_number_with_unit(diagnostics, main, KEY_MAIN_GEAR_DIST, 0.0);
    ground.other_gear_height = get_number_with_unit(diagnostics, main, KEY_OTHER_GEAR_HEIGHT, 0.0);
    ground.other_gear_dist = get_number_with_unit(diagnostics, main, KEY_OTHER_GEAR_DIST, 0.0);
    ground.gear_read = true;
    const double height_diff = ground.main_gear_height - ground.other_gear_height;
    const double dist_diff = ground.main_gear_dist - ground.other_gear_dist;

    if (std::fabs(dist_diff) < MIN_GEAR_DISTANCE) {
        report(diagnostics, "wGear distance too small, zero ground pitch assumed.\n");
        ground.pitch_deg = 0.0;
        ground.slope = 0.0;
        return;
    }

    ground.slope = height_diff / dist_diff;
    if (ground.slope == 0.0) {
        // Level gear with the main gear ahead of the other gives -0.0, which
        // would print as "-0.00" next to the word "up".
        ground.slope = 0.0;
    }
    ground.pitch_deg = rad_to_deg(portable_atan(ground.slope));
    console_print(diagnostics.console, "Ground Pitch=%s degrees (means pitch %s).\n",
                  fixed_text(ground.pitch_deg, 5, 2).c_str(), ground.pitch_deg < 0.0 ? "down" : "up");
}

}  // namespace lumora
