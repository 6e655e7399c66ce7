// Test support: the worked example, a tail-dragger standing 9.46 degrees nose
// up with up to three lights: the first at LatOffset 3 and Direction 10, the
// second mirrored, the third centred; and the records they must give.
#pragma once

#include <string>

#include "lights/light_geometry.h"

namespace lumora {

// The definition file for lights 1 .. lights (at most 3).
std::string worked_definition(unsigned lights);

// The record of light i (1 to 3) of that file, spelled out by hand: beam
// (+-5511, -7884, 31257), scale 12, and the worked example's outline shifted
// sideways by the light's offset (33 units of 0.0883875 m for 3 m).
LightRecord worked_record(unsigned i);

}  // namespace lumora
