#include <cstdio>
#include <string>
#include <vector>

#include "inspect/command_line.h"
#include "platform/platform.h"

using namespace lumora;

int main(int argc, char** argv)
{
    prepare_standard_output();
    install_interrupt_cleanup();
    const std::vector<std::string> arguments = program_arguments(argc, argv);
    const int exit_code = run_inspect(Console{stdout}, arguments);
    std::fflush(stdout);
    hold_own_window();
    return exit_code;
}
