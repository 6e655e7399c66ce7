#include <cstdio>

#include "driver/run.h"

int main(int argc, char** argv)
{
    const int exit_code = run_veska(argc - 1, argv + 1);
    std::fflush(stdout);
    return exit_code;
}
