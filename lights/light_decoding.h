// Reading the lights back out of a recognised landing-light block: the beam
// vector with the angles it encodes, the scale, and the outline in metres.
#pragma once

#include <cstdint>

#include "lights/light_geometry.h"

namespace lumora {

struct DecodedLight {
    ModelVector beam;
    std::uint16_t scale;
    double inclination_deg;  // the beam's angle to the longitudinal axis, negative downwards
    double direction_deg;    // its sideways turn, towards the right wing (+x) positive
    double unit;             // metres per outline unit at the scale
    double position[3];      // x, y, z of the outline's apex (the light), metres, cut to the unit
    double spot_width;       // the outline's extent across: SpotWidth cut to the unit, metres
    double spot_depth;       // and up and down: the spot's depth seen along the beam in the light's plane
};

// Light i (1 to n) of the n-light block that begins at block.
DecodedLight decode_light(const std::uint8_t* block, unsigned n, unsigned i);

}  // namespace lumora
