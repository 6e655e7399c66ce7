// The steps veska takes from a definition file's name to its lights: read
// the file, compute every configured light, and check the number of lights.
// The inspector takes the same steps for its preview and its check.
#pragma once

#include <optional>
#include <string>

#include "basics/messages.h"
#include "definition/definition.h"
#include "lights/light_geometry.h"
#include "platform/file_system.h"

namespace lumora {

enum class [[nodiscard]] LightsOutcome {
    computed = 0,   // read, every configured light computed, 1 to 3 lights
    not_read,       // the file could not be opened or read
    failed,         // reading failed on the file's contents, or a light section is missing
    invalid_count,  // read and computed, but no valid number of lights (reported as an error)
};

// Reads the named definition file through files into definition and computes its lights
// into lights, with every message of those steps, then reports a number of
// lights outside 1 to 3 as veska does. Errors reported on the way are in
// the error flag; the outcome says which step, if any, failed.
LightsOutcome read_and_compute_lights(Diagnostics& diagnostics, FileSystem& files, Definition& definition,
                                      LightSet& lights, const std::optional<std::string>& definition_name);

// The same steps for a definition file's bytes, as the tuning page has them.
LightsOutcome compute_lights_from_bytes(Diagnostics& diagnostics, Definition& definition, LightSet& lights,
                                        std::string bytes);

}  // namespace lumora
