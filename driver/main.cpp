#include <cstdio>

#include "driver/run.h"

int main(int argc, char** argv)
{
    RunState state{};
    state.diagnostics.console.stream = stdout;
    const int exit_code = run_veska(state, argc - 1, argv + 1);
    std::fflush(stdout);
    return exit_code;
}
