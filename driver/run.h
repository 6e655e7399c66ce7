// The run sequence of the VESKA command, from the banner to the exit code.
#pragma once

#include "driver/run_state.h"

constexpr const char USAGE_TEXT[] =
    "Usage is:\n\n      VESKA <mdl_file> <LL_definition_file>\n"
    "or:   VESKA <source_mdl_file> <target_mdl_file> <LL_definition_file>\n";

// Runs the whole sequence once for the arguments that follow the program
// name (argv[0] .. argv[argc - 1]) in state, which the caller created with
// its console (and, in tests, an output fault), and returns the exit code.
// Everything the run allocated is released before it returns; the rest of
// state is left as the run left it.
int run_veska(RunState& state, int argc, const char* const* argv);
