// Each light's beam and lit spot, worked out from its [Light n] section and
// the ground geometry, in the 16-bit form the landing-light code wants.
#pragma once

#include <cstdint>

#include "basics/messages.h"
#include "definition/definition.h"

namespace lumora {

constexpr unsigned LIGHT_COUNT_MAX = 3;
constexpr unsigned OUTLINE_POINTS = 16;

// Coordinate scale limits: one outline unit is 0.176775 / 2^(13 - scale) metres.
constexpr std::uint16_t SCALE_COARSEST = 13;
constexpr std::uint16_t SCALE_FINEST = 7;

struct ModelVector {
    std::int16_t x;
    std::int16_t y;
    std::int16_t z;
};

struct LightRecord {
    ModelVector beam;                             // a horizontal beam has length 32767
    ModelVector outline[OUTLINE_POINTS];          // lit spot, in units of the scale below
    std::uint16_t scale = SCALE_COARSEST;         // SCALE_FINEST .. SCALE_COARSEST
};

// What compute_light read from a light's section (defaults filled in) and the
// angles it worked out, kept beside the record for whoever wants to show the
// light in metres and degrees. Lengths in metres, angles in radians.
struct LightValues {
    double pitch;        // the aircraft's pitch the beam is aimed for
    double x_right;      // the light's position in the model's axes: right of the axis (LatOffset),
    double y_up;         // above the model's origin (ZOffset),
    double z_forward;    // ahead of it (LonOffset)
    double max_range;    // horizontal distance of the aim point
    double direction;    // sideways turn of the beam, towards the right wing (+x)
    double spot_width;
    double spot_depth;
    double height;       // h: the light's height above the ground line
    double inclination;  // B: the beam's angle below the longitudinal axis
    bool computed;       // false until compute_light filled this light's record
};

// Lights 1 to 3, at index light number - 1: each light's record and values.
struct LightSet {
    LightRecord records[LIGHT_COUNT_MAX];
    LightValues values[LIGHT_COUNT_MAX];
};

// The length of one outline unit at a scale, in metres: 0.176775 / 2^(13 - scale).
// Scales outside SCALE_FINEST .. SCALE_COARSEST give 0.
double scale_unit(std::uint16_t scale);

// Reports every configured light whose section is missing and computes
// none (Step::reported); otherwise computes lights 1 .. light count into
// lights.
Step compute_lights(Diagnostics& diagnostics, const Definition& definition, LightSet& lights);

// Computes light index + 1 (index 0 to 2) from its section into
// lights.records[index] and lights.values[index] and prints its line. A light
// whose values give no finite beam geometry is reported as an error and its
// record left alone.
void compute_light(Diagnostics& diagnostics, const GroundGeometry& ground, const DefinitionSection& section,
                   unsigned index, LightSet& lights);

// Fills outline with the spot shape stretched to width and depth (in metres)
// with its apex at (x_right, y_up) in the plane z = z_forward, at the
// coarsest scale that still shows the depth, and returns that scale.
std::uint16_t build_spot_outline(ModelVector (&outline)[OUTLINE_POINTS], double width, double depth, double x_right,
                                 double y_up, double z_forward);

}  // namespace lumora
