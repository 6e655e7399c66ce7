#include <cstdio>
#include <string>
#include <vector>

#include "driver/run.h"
#include "platform/platform.h"

using namespace lumora;

int main(int argc, char** argv)
{
    prepare_standard_output();
    install_interrupt_cleanup();
    const std::vector<std::string> arguments = program_arguments(argc, argv);
    MessagePrinter printer{Console{stdout}};
    RunState state{Console{stdout}, printer};
    const int exit_code = run_veska(state, arguments);
    std::fflush(stdout);
    hold_own_window();
    return exit_code;
}
