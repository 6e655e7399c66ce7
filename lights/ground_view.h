// Where the lights of a definition file shine, in metres in the model's axes
// (x sideways, y up, z forwards), worked out from what the program computed:
// the ground geometry, each light's values and its record.
#pragma once

#include "lights/light_geometry.h"

namespace lumora {

struct Point3 {
    double x;
    double y;
    double z;
};

struct LightOnGround {
    bool computed;               // false: the light's values could not be computed
    double pitch_deg;            // as the light line prints them
    double inclination_deg;      // negative downwards
    double max_range;
    Point3 position;             // LatOffset, ZOffset, LonOffset
    Point3 direction;            // unit vector: inclination B below the horizontal, turned by Direction
    Point3 aim;                  // the aim point at MaxRange
    bool lit;                    // the beam comes down to the ground and the light is above it
    Point3 ground_hit;           // lit: where the beam from the light meets the ground line
    double aim_distance;         // from the light to the aim point, along the beam
    double ground_distance;      // lit: from the light to ground_hit, along the beam
    Point3 lit_area[OUTLINE_POINTS];  // the spot outline moved along the beam onto the ground
};

struct GroundView {
    double ground_pitch_deg;
    double slope;            // the ground line's height falls by slope per metre of z
    Point3 main_gear;        // contact point: y = MainGearHeight, z = -MainGearDist (x = 0)
    Point3 other_gear;
    bool gear_given;         // both contact points were read
    bool other_gear_is_tail; // the other gear stands behind the main gear
    unsigned light_count;    // lights shown: 0 to 3
    LightOnGround lights[LIGHT_COUNT_MAX];
};

// True when the beam meets the ground line before its aim point. A beam
// aimed at a point on the ground line meets it there, within a rounding, and
// goes on to no point below the ground.
bool meets_ground_before_aim(const LightOnGround& light);

// The ground line's height y at longitudinal position z: through the main
// gear's contact point at the ground pitch.
double ground_height(const GroundView& geometry, double z);

// Fills the geometry from the ground geometry and the lights' values and
// records for lights 1 .. light_count (at most 3).
GroundView compute_ground_view(const GroundGeometry& ground, const LightSet& lights, unsigned light_count);

}  // namespace lumora
