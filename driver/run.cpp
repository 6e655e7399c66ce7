#include "driver/run.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "driver/banner.h"
#include "driver/console.h"
#include "driver/run_state.h"
#include "mdl/mdl_image.h"
#include "mdl/output.h"

namespace {

// Ends the run: everything allocated is released first.
int finish(int exit_code)
{
    release_all();
    return exit_code;
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
    std::fclose(definition_file);
    (void)target;
    return finish(0);
}
