#include <cstdio>
#include <string>
#include <vector>

#include "driver/run.h"
#include "platform/file_system.h"
#include "platform/platform.h"

using namespace lumora;

int main(int argc, char** argv)
{
    prepare_standard_output();
    install_interrupt_cleanup();
    const std::vector<std::string> arguments = program_arguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    SystemFileSystem files;
    RunState state{};
    state.diagnostics.console.stream = stdout;
    state.files = &files;
    const int exit_code = run_veska(state, static_cast<int>(pointers.size()), pointers.data());
    std::fflush(stdout);
    hold_own_window();
    return exit_code;
}
