#include "driver/run.h"

#include <cstring>

#include "basics/version.h"
#include "driver/banner.h"
#include "lights/lights_from_definition.h"
#include "mdl/insertion.h"

namespace lumora {

void release_all(RunState& state)
{
    release_image(state.image);
    release_definition(state.definition);
}

namespace {

// Ends the run: everything allocated is released first.
int finish(RunState& state, int exit_code)
{
    release_all(state);
    return exit_code;
}

// Ends a run that computed everything it could but must not write: the last
// line says so, and the exit code tells the caller that nothing was written.
int finish_unwritten(RunState& state, const char* target)
{
    console_print(state.diagnostics.console, "MDL file %s not written due to errors.\n", target);
    return finish(state, 1);
}

}  // namespace

bool asks_for_text(int argc, const char* const* argv)
{
    return argc == 1 && (std::strcmp(argv[0], "--version") == 0 || std::strcmp(argv[0], "--help") == 0);
}

int run_veska(RunState& state, int argc, const char* const* argv)
{
    const Console& console = state.diagnostics.console;
    if (argc == 1 && std::strcmp(argv[0], "--version") == 0) {
        console_write(console, "veska (Lumora) " LUMORA_VERSION "\n");
        return 0;
    }
    print_banner(console);
    if (argc == 1 && std::strcmp(argv[0], "--help") == 0) {
        console_write(console, USAGE_TEXT);
        console_write(console, HELP_TEXT);
        return 0;
    }
    if (argc < 1) {
        console_write(console, USAGE_TEXT);
        return 1;
    }
    const bool in_place = argc < 3;
    const char* source = argv[0];
    const char* target = in_place ? argv[0] : argv[1];
    // The one-argument form names no definition file.
    const char* definition = in_place ? (argc == 2 ? argv[1] : nullptr) : argv[2];
    state.diagnostics.definition_name = definition;
    // No write may replace the definition file.
    const OutputContext output{console, definition, *state.files};

    if (load_mdl(console, state.image, source) != 0) {
        return finish(state, 1);
    }
    if (in_place && write_backup(output, source, state.image.buffer, state.image.size) != 0) {
        console_write(console, "No further processing due to non-available MDL backup file.\n");
        return finish(state, 1);
    }
    const LightsOutcome outcome =
        read_and_compute_lights(state.diagnostics, state.definition, state.lights, definition);
    if (outcome == LightsOutcome::not_read || outcome == LightsOutcome::failed) {
        return finish(state, 1);
    }
    if (outcome == LightsOutcome::invalid_count) {
        return finish_unwritten(state, target);
    }
    const unsigned lights = state.definition.light_count;
    state.block = code_template(lights);
    fill_code_template(state.block, lights, state.lights.records);
    if (insert_code(console, state.image.code_area, state.block.bytes, state.block.size) != 0) {
        return finish(state, 1);
    }
    if (state.diagnostics.error_flag != 0) {
        return finish_unwritten(state, target);
    }
    const int result = write_target(output, target, state.image.buffer, state.image.size);
    if (result != 0) {
        return finish(state, result);
    }
    console_print(console, "MDL file %s with %u landing light%s successfully written.\n", target, lights,
                  lights == 1 ? "" : "s");
    return finish(state, 0);
}

}  // namespace lumora
