#include "lights/lights_from_definition.h"

#include "definition/reader.h"

namespace lumora {

LightsOutcome read_and_compute_lights(Diagnostics& diagnostics, Definition& definition, LightSet& lights,
                                      const char* definition_name)
{
    const int read = read_definition_named(diagnostics, definition, definition_name);
    if (read == DEFINITION_NOT_READ) {
        return LightsOutcome::not_read;
    }
    if (read != DEFINITION_READ || compute_lights(diagnostics, definition, lights) != 0) {
        return LightsOutcome::failed;
    }
    const unsigned count = definition.light_count;
    if (count < 1 || count > LIGHT_COUNT_MAX) {
        report(diagnostics, "eInvalid number of lights: %u\n", count);
        return LightsOutcome::invalid_count;
    }
    return LightsOutcome::computed;
}

}  // namespace lumora
