// Where the lights of a definition file shine, in metres in the model's axes
// (x towards the right wing, y up, z forwards), worked out from what the
// program computed: the ground geometry, each light's values and its record.
#pragma once

#include <string>

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

// Why a light lights no ground, or that it does (in the order in which the
// lit area's words choose).
enum class LitArea {
    lit,
    not_computed,      // its values give no beam
    light_not_above,   // the light stands on or below the ground line
    beam_not_down,     // the beam runs level or up with the aircraft on its gear
};

// Where a light's lit area lies on the ground, in metres, for the aircraft
// standing on its gear.
//
// "Ahead" is measured over the ground along the aircraft's longitudinal axis
// as it lies on the ground (the ground line of the side view, which the
// ground pitch tilts against z), from the point of the ground right below
// the light (square to the ground); a negative value lies behind that point.
// Sideways is the model's x, which runs level over the ground: the distance
// from the aircraft's longitudinal axis, right wing positive.
struct LitAreaFigures {
    LitArea state;
    // state lit: the lit area's nearest and farthest point ahead, and its
    // leftmost and rightmost x.
    double nearest;
    double farthest;
    double leftmost;
    double rightmost;
    // state lit: the aim point (where the beam is aimed, MaxRange ahead of
    // the light at the light's pitch), ahead and sideways as above, and its
    // height above the ground square to it: not zero when the aircraft's
    // ground pitch is not the light's pitch, or the beam is turned sideways
    // over sloping ground.
    double aim_ahead;
    double aim_x;
    double aim_height;
};

// The figures of light index + 1 (index 0 to 2) of the geometry.
LitAreaFigures lit_area_figures(const GroundView& geometry, unsigned index);

// The figures as words, to one decimal, e.g. "lit area 3.2 to 28.8 m ahead of
// the light, 2.6 m left to 14.9 m right of the aircraft's axis; aim point
// 29.6 m ahead, 8.1 m right", with "(0.7 m below the ground)" behind where
// the aim point lies half a metre or more off the ground; or why the light
// lights no ground.
std::string lit_area_description(const LitAreaFigures& figures);

}  // namespace lumora
