// The run sequence of the VESKA command, from the banner to the exit code.
#pragma once

constexpr const char* USAGE_TEXT =
    "Usage is:\n\n      VESKA <mdl_file> <LL_definition_file>\n"
    "or:   VESKA <source_mdl_file> <target_mdl_file> <LL_definition_file>\n";

// Runs the whole sequence once for the arguments that follow the program
// name (argv[0] .. argv[argc - 1]) and returns the exit code. Everything the
// run allocated is released before it returns.
int run_veska(int argc, const char* const* argv);
