#include "lights/ground_pitch.h"

#include <cmath>

#include "definition/diagnostics.h"
#include "definition/keys.h"
#include "driver/console.h"
#include "driver/run_state.h"
#include "lights/angles.h"

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

void compute_ground_pitch()
{
    const DefinitionSection& main = run_state.sections[MAIN_SECTION];

    // Without both contact points the aircraft is taken as standing level;
    // the main-gear values are then not read at all.
    for (const KeyId key : GEAR_KEYS) {
        if (lookup_entry(main, key) == nullptr) {
            report("iNot all gear positions/heights specified, zero ground pitch assumed.\n");
            ground_geometry.pitch_deg = 0.0;
            ground_geometry.slope = 0.0;
            return;
        }
    }

    ground_geometry.main_gear_height = get_number_with_unit(main, KEY_MAIN_GEAR_HEIGHT, 0.0);
    ground_geometry.main_gear_dist = get_number_with_unit(main, KEY_MAIN_GEAR_DIST, 0.0);
    ground_geometry.other_gear_height = get_number_with_unit(main, KEY_OTHER_GEAR_HEIGHT, 0.0);
    ground_geometry.other_gear_dist = get_number_with_unit(main, KEY_OTHER_GEAR_DIST, 0.0);
    ground_geometry.gear_read = true;
    const double height_diff = ground_geometry.main_gear_height - ground_geometry.other_gear_height;
    const double dist_diff = ground_geometry.main_gear_dist - ground_geometry.other_gear_dist;

    if (std::fabs(dist_diff) < MIN_GEAR_DISTANCE) {
        report("wGear distance too small, zero ground pitch assumed.\n");
        ground_geometry.pitch_deg = 0.0;
        ground_geometry.slope = 0.0;
        return;
    }

    ground_geometry.slope = height_diff / dist_diff;
    if (ground_geometry.slope == 0.0) {
        // Level gear with the main gear ahead of the other gives -0.0, which
        // would print as "-0.00" next to the word "up".
        ground_geometry.slope = 0.0;
    }
    ground_geometry.pitch_deg = rad_to_deg(std::atan(ground_geometry.slope));
    console_print("Ground Pitch=%5.2f degrees (means pitch %s).\n", ground_geometry.pitch_deg,
                  ground_geometry.pitch_deg < 0.0 ? "down" : "up");
}
