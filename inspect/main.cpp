#include <cstdio>

#include "inspect/command_line.h"

int main(int argc, char** argv)
{
    const int exit_code = run_inspect(Console{stdout}, argc - 1, argv + 1);
    std::fflush(stdout);
    return exit_code;
}
