// The aircraft's pitch attitude on its gear, worked out from the gear keys of
// the [Main] section as soon as that section has been read.
#pragma once

#include "basics/diagnostics.h"
#include "definition/definition_store.h"

namespace lumora {

struct GroundGeometry {
    double pitch_deg;         // ground pitch in degrees, positive nose up
    double slope;             // its tangent: height difference over distance difference
    double main_gear_height;  // metres
    double main_gear_dist;    // metres
    // The other gear's contact point as read, and whether all four gear keys
    // were there to be read (otherwise every field above stays 0).
    double other_gear_height;  // metres
    double other_gear_dist;    // metres
    bool gear_read;
};

// Reads the gear keys of the [Main] section into ground, reports missing keys
// or gears too close together, and prints the ground pitch line.
void compute_ground_pitch(Diagnostics& diagnostics, const DefinitionSection& main, GroundGeometry& ground);

}  // namespace lumora
