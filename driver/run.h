// The run sequence of the VESKA command, from the banner to the exit code.
#pragma once

#include <string>
#include <vector>

#include "driver/run_state.h"
#include "platform/help_conventions.h"

namespace lumora {

constexpr const char USAGE_TEXT[] =
    "Usage is:\n\n      VESKA <mdl_file> <LL_definition_file>\n"
    "or:   VESKA <source_mdl_file> <target_mdl_file> <LL_definition_file>\n";

// What "veska --help" prints after the banner and the usage: the help, the
// line that names the manuals in the form in which the system keeps them,
// and the exit codes.
std::string help_text(ManualForm form);

// Runs the whole sequence once for the arguments that follow the program
// name, in state, which the caller created with its console, the sink of
// its messages and its file system, and returns the exit code. "--help",
// "-h" or "-?" (or the system's own word, "/?" on Windows) or "--version"
// as the only argument prints the help or the version and returns 0.
[[nodiscard]] int run_veska(RunState& state, const std::vector<std::string>& arguments);

// True when the arguments ask for the help or the version text alone.
bool asks_for_text(const std::vector<std::string>& arguments);

}  // namespace lumora
