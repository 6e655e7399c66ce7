// Values that veska accepts without a word but that a user almost certainly
// did not mean: a lit area reaching back past the light, a beam that never
// comes down, a light under the ground. --check prints them after veska's
// messages; --preview puts them in the picture's legend.
#pragma once

#include <vector>

#include "basics/messages.h"
#include "definition/definition.h"
#include "lights/light_geometry.h"

namespace lumora {

// The notes (messages of severity note) about the computed lights 1 ..
// light_count (at most 3; lights not computed are passed over), in the order
// of the lights: MaxRange or a spot size not above zero, Direction beyond 90
// degrees either way, a light at or below the ground line, a beam that does
// not come down to the ground with the aircraft on its gear, and a lit area
// that reaches back past the light. Each names the line of the key it
// concerns, or none where the value is a default.
std::vector<Message> note_values(const Definition& definition, const LightSet& lights, unsigned light_count);

}  // namespace lumora
