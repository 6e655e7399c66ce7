#include "inspect/preview.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "definition/diagnostics.h"
#include "definition/reader.h"
#include "driver/console.h"
#include "driver/run_state.h"
#include "inspect/preview_geometry.h"
#include "inspect/preview_svg.h"
#include "lights/light_geometry.h"

namespace {

// The lights veska would not compute (it stops at the first failing step)
// are still computed for the picture where their sections were read, without
// printing: veska prints nothing for them either.
void compute_remaining_lights_quietly(unsigned count)
{
    std::FILE* sink = std::fopen("/dev/null", "w");
    if (sink == nullptr) {
        return;
    }
    std::FILE* previous = console_stream;
    console_stream = sink;
    for (unsigned n = 1; n <= count; ++n) {
        if (run_state.sections[n].defined != 0 && !light_values[n - 1].computed) {
            compute_light(run_state.sections[n], n - 1);
        }
    }
    console_stream = previous;
    std::fclose(sink);
}

}  // namespace

int run_preview(const char* definition_name, const char* svg_name)
{
    run_state.definition_name = definition_name;
    std::FILE* definition = std::fopen(definition_name, "r");
    if (definition == nullptr) {
        console_print("Error opening definition file %s: %s\n", definition_name, std::strerror(errno));
        return 1;
    }
    // The same steps as veska's, with the same messages.
    int result = read_definition_file(definition);
    std::fclose(definition);
    if (result == 0) {
        result = compute_lights();
    }
    const unsigned count = run_state.light_count;
    const bool count_valid = count >= 1 && count <= LIGHT_COUNT_MAX;
    if (result == 0 && !count_valid) {
        report("eInvalid number of lights: %u\n", count);
    }
    const unsigned shown = count_valid ? count : LIGHT_COUNT_MAX;
    if (result != 0 || !count_valid) {
        compute_remaining_lights_quietly(shown);
    }
    const bool complete = result == 0 && run_state.error_flag == 0;

    unsigned drawn = shown;
    if (!count_valid) {
        // Show the sections that were read, up to the last one.
        while (drawn > 0 && run_state.sections[drawn].defined == 0) {
            --drawn;
        }
    }
    const PreviewGeometry geometry = compute_preview_geometry(drawn);
    const PreviewCaption caption = {definition_name, complete};
    const int written = write_preview_svg(svg_name, geometry, caption);
    release_all();
    if (written != 0) {
        return written;
    }
    if (complete) {
        console_print("Preview of %u landing light%s written to %s.\n", drawn, drawn == 1 ? "" : "s", svg_name);
        return 0;
    }
    console_print("Preview written to %s; it is incomplete: the definition file has errors.\n", svg_name);
    return 1;
}
