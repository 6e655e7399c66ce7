#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "driver/run.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "platform/standard_output.h"

using namespace lumora;

int main(int argc, char** argv)
{
    prepare_standard_output();
    install_interrupt_cleanup();
    const std::vector<std::string> arguments = program_arguments(argc, argv);
    SystemFileSystem files;
    StandardOutput output{stdout};
    StandardOutputText text{output};
    const Console console{&text};
    MessagePrinter printer{console};
    RunState state{console, printer, files};
    const int exit_code = run_veska(state, arguments);
    hold_own_window();
    const int output_error = close_standard_output(output);
    // A run's exit code tells what became of the model, whatever became of
    // its messages; the help and the version are nothing but their text.
    if (output_error != 0 && asks_for_text(arguments)) {
        std::fprintf(stderr, "veska: error writing standard output: %s\n", std::strerror(output_error));
        return 1;
    }
    return exit_code;
}
