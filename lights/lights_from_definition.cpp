#include "lights/lights_from_definition.h"

#include "definition/reader.h"

namespace lumora {

namespace {

LightsOutcome compute_after_reading(Diagnostics& diagnostics, Definition& definition, LightSet& lights,
                                    ReadOutcome read)
{
    if (read == ReadOutcome::not_read) {
        return LightsOutcome::not_read;
    }
    if (read != ReadOutcome::read || compute_lights(diagnostics, definition, lights) != Step::done) {
        return LightsOutcome::failed;
    }
    const std::uint32_t count = definition.light_count;
    if (count < 1 || count > LIGHT_COUNT_MAX) {
        report(diagnostics, MessageId::invalid_light_count, {count});
        return LightsOutcome::invalid_count;
    }
    return LightsOutcome::computed;
}

}  // namespace

LightsOutcome read_and_compute_lights(Diagnostics& diagnostics, FileSystem& files, Definition& definition,
                                      LightSet& lights, const std::optional<std::string>& definition_name)
{
    return compute_after_reading(diagnostics, definition, lights,
                                 read_definition_named(diagnostics, files, definition, definition_name));
}

LightsOutcome compute_lights_from_bytes(Diagnostics& diagnostics, Definition& definition, LightSet& lights,
                                        std::string bytes)
{
    return compute_after_reading(diagnostics, definition, lights,
                                 read_definition_bytes(diagnostics, definition, std::move(bytes)));
}

}  // namespace lumora
