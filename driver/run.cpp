#include "driver/run.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "driver/banner.h"
#include "driver/console.h"
#include "driver/run_state.h"
#include "definition/diagnostics.h"
#include "definition/reader.h"
#include "lights/code_templates.h"
#include "lights/light_geometry.h"
#include "mdl/insertion.h"
#include "mdl/mdl_image.h"
#include "mdl/output.h"

namespace {

// Ends the run: everything allocated is released first.
int finish(int exit_code)
{
    release_all();
    return exit_code;
}

// Ends a run that computed everything it could but must not write: the last
// line says so, and the exit code tells the caller that nothing was written.
int finish_unwritten(const char* target)
{
    console_print("MDL file %s not written due to errors.\n", target);
    return finish(1);
}

}  // namespace

int run_veska(int argc, const char* const* argv)
{
    print_banner();
    if (argc < 1) {
        console_write(USAGE_TEXT);
        return 1;
    }
    const bool in_place = argc < 3;
    const char* source = argv[0];
    const char* target = in_place ? argv[0] : argv[1];
    // The one-argument form names no definition file.
    const char* definition = in_place ? (argc == 2 ? argv[1] : nullptr) : argv[2];
    run_state.definition_name = definition;

    if (load_mdl(source) != 0) {
        return finish(1);
    }
    if (in_place && write_backup(source, run_state.image.buffer, run_state.image.size) != 0) {
        console_write("No further processing due to non-available MDL backup file.\n");
        return finish(1);
    }
    std::FILE* definition_file = definition != nullptr ? std::fopen(definition, "r") : nullptr;
    if (definition_file == nullptr) {
        console_print("Error opening definition file %s: %s\n", definition != nullptr ? definition : "(none)",
                      std::strerror(definition != nullptr ? errno : ENOENT));
        return finish(1);
    }
    int result = read_definition_file(definition_file);
    std::fclose(definition_file);
    if (result == 0) {
        result = compute_lights();
    }
    if (result != 0) {
        return finish(result);
    }

    const unsigned lights = run_state.light_count;
    if (lights < 1 || lights > LIGHT_COUNT_MAX) {
        report("eInvalid number of lights: %u\n", lights);
        return finish_unwritten(target);
    }
    fill_code_template(lights);
    const CodeTemplate& block = code_template(lights);
    if (insert_code(run_state.image.code_area, block.bytes, block.size) != 0) {
        return finish(1);
    }
    if (run_state.error_flag != 0) {
        return finish_unwritten(target);
    }
    result = write_target(target, run_state.image.buffer, run_state.image.size);
    if (result != 0) {
        return finish(result);
    }
    console_print("MDL file %s with %u landing light%s successfully written.\n", target, lights,
                  lights == 1 ? "" : "s");
    return finish(0);
}
