#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "basics/messages.h"
#include "inspect/command_line.h"
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
    const int exit_code = run_inspect(Console{&text}, files, arguments);
    hold_own_window(render_message(Message{MessageId::press_enter_to_close, 0, {}}, std::string()));
    // A report that did not reach its reader is no success.
    const int output_error = close_standard_output(output);
    if (output_error != 0) {
        std::fprintf(stderr, "veska-inspect: error writing standard output: %s\n", std::strerror(output_error));
        return 1;
    }
    return exit_code;
}
