#include "definition/ground_pitch.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "basics/angles.h"
#include "basics/portable_math.h"
#include "definition/keys.h"

namespace lumora {

namespace {

// Gears whose contact points lie closer together than this (in metres,
// along the aircraft) give no usable slope.
constexpr double MIN_GEAR_DISTANCE = 0.01;

// The four gear keys in the order they are checked and read.
constexpr KeyId GEAR_KEYS[] = {
    KeyId::main_gear_height,
    KeyId::main_gear_dist,
    KeyId::other_gear_height,
    KeyId::other_gear_dist,
};

}  // namespace

void compute_ground_pitch(Diagnostics& diagnostics, const DefinitionSection& main, GroundGeometry& ground)
{
    // Without both contact points the aircraft is taken as standing level;
    // the main-gear values are then not read at all.
    const auto missing = [&](KeyId key) { return lookup_entry(main, key) == nullptr; };
    if (std::any_of(std::begin(GEAR_KEYS), std::end(GEAR_KEYS), missing)) {
        report(diagnostics, MessageId::gear_incomplete);
        ground.pitch_deg = 0.0;
        ground.slope = 0.0;
        return;
    }

    ground.main_gear_height = get_key_value(diagnostics, main, KeyId::main_gear_height, 0.0);
    ground.main_gear_dist = get_key_value(diagnostics, main, KeyId::main_gear_dist, 0.0);
    ground.other_gear_height = get_key_value(diagnostics, main, KeyId::other_gear_height, 0.0);
    ground.other_gear_dist = get_key_value(diagnostics, main, KeyId::other_gear_dist, 0.0);
    ground.gear_read = true;
    const double height_diff = ground.main_gear_height - ground.other_gear_height;
    const double dist_diff = ground.main_gear_dist - ground.other_gear_dist;

    if (std::fabs(dist_diff) < MIN_GEAR_DISTANCE) {
        report(diagnostics, MessageId::gear_distance_too_small);
        ground.pitch_deg = 0.0;
        ground.slope = 0.0;
        return;
    }

    // Level gear with the main gear ahead of the other gives -0.0, which
    // would print as "-0.00" next to the word "up": adding 0.0 makes it 0.0.
    ground.slope = height_diff / dist_diff + 0.0;
    ground.pitch_deg = rad_to_deg(portable_atan(ground.slope));
    report(diagnostics, MessageId::ground_pitch, {ground.pitch_deg, ground.pitch_deg < 0.0});
}

}  // namespace lumora
