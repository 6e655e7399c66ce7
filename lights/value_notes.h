// Values that veska accepts without a word but that a user almost certainly
// did not mean: a lit area reaching back past the light, a beam that never
// comes down, a light under the ground. --check prints them after veska's
// messages; --preview puts them in the picture's legend.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "definition/definition.h"
#include "lights/light_geometry.h"

namespace lumora {

// One finding about the definition file that veska itself does not report.
struct ValueNote {
    std::uint32_t line;  // the definition file's line it concerns; 0 when the value is a default
    std::string text;    // what is wrong
    std::string hint;    // what to change, one short line
};

// The warnings about the computed lights 1 .. light_count (at most 3; lights
// not computed are passed over), in the order of the lights: MaxRange or a
// spot size not above zero, Direction beyond 90 degrees either way, a light
// at or below the ground line, a beam that does not come down to the ground
// with the aircraft on its gear, and a lit area that reaches back past the
// light.
std::vector<ValueNote> note_values(const Definition& definition, const LightSet& lights, unsigned light_count);

}  // namespace lumora
