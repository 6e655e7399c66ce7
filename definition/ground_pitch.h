// The aircraft's pitch attitude on its gear, worked out from the gear keys of
// the [Main] section as soon as that section has been read.
#pragma once

#include "basics/messages.h"
#include "definition/definition_store.h"

namespace lumora {

struct GroundGeometry {
    double pitch_deg = 0.0;         // ground pitch in degrees, positive nose up
    double slope = 0.0;             // its tangent: height difference over distance difference
    double main_gear_height = 0.0;  // metres
    double main_gear_dist = 0.0;    // metres
    // The other gear's contact point as read, and whether all four gear keys
    // were there to be read (otherwise every field above stays 0).
    double other_gear_height = 0.0;  // metres
    double other_gear_dist = 0.0;    // metres
    bool gear_read = false;
};

// Reads the gear keys of the [Main] section into ground, reports missing keys
// or gears too close together, and reports the ground pitch line.
void compute_ground_pitch(Diagnostics& diagnostics, const DefinitionSection& main, GroundGeometry& ground);

}  // namespace lumora
