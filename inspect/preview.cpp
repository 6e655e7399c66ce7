#include "inspect/preview.h"

#include "inspect/check_values.h"
#include "inspect/preview_geometry.h"
#include "inspect/preview_svg.h"
#include "lights/light_geometry.h"
#include "lights/lights_from_definition.h"

namespace lumora {

namespace {

// The lights veska would not compute (it stops at the first failing step)
// are still computed for the picture where their sections were read, without
// printing: veska prints nothing for them either.
void compute_remaining_lights_quietly(const Diagnostics& diagnostics, const Definition& definition, LightSet& lights,
                                      unsigned count)
{
    Diagnostics silent = diagnostics;
    silent.console = Console{nullptr};
    for (unsigned n = 1; n <= count; ++n) {
        if (definition.sections[n].defined != 0 && !lights.values[n - 1].computed) {
            compute_light(silent, definition.ground, definition.sections[n], n - 1, lights);
        }
    }
}

}  // namespace

int run_preview(const Console& console, FileSystem& files, const char* definition_name, const char* svg_name)
{
    Diagnostics diagnostics{console, definition_name, 0, 0};
    Definition definition{};
    LightSet lights{};
    // The same steps as veska's, with the same messages.
    const LightsOutcome outcome = read_and_compute_lights(diagnostics, definition, lights, definition_name);
    if (outcome == LightsOutcome::not_read) {
        release_definition(definition);
        return 1;
    }
    const unsigned count = definition.light_count;
    const bool count_valid = count >= 1 && count <= LIGHT_COUNT_MAX;
    const unsigned shown = count_valid ? count : LIGHT_COUNT_MAX;
    if (outcome != LightsOutcome::computed) {
        compute_remaining_lights_quietly(diagnostics, definition, lights, shown);
    }
    const bool complete = outcome == LightsOutcome::computed && diagnostics.error_flag == 0;

    unsigned drawn = shown;
    if (!count_valid) {
        // Show the sections that were read, up to the last one.
        while (drawn > 0 && definition.sections[drawn].defined == 0) {
            --drawn;
        }
    }
    const PreviewGeometry geometry = compute_preview_geometry(definition.ground, lights, drawn);
    PreviewCaption caption = {definition_name, complete};
    for (const CheckWarning& warning : check_values(definition, lights, drawn)) {
        caption.notes.push_back(warning.text);
    }
    release_definition(definition);
    // The picture may not replace the definition file.
    if (write_preview_svg(OutputContext{console, definition_name, files}, svg_name, geometry, caption) != 0) {
        return 1;
    }
    if (complete) {
        console_print(console, "Preview of %u landing light%s written to %s.\n", drawn, drawn == 1 ? "" : "s",
                      svg_name);
        return 0;
    }
    console_print(console, "Preview written to %s; it is incomplete: the definition file has errors.\n", svg_name);
    return 1;
}

}  // namespace lumora
