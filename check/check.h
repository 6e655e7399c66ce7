// veska-inspect --check DEFINITION: what to change in a definition file.
#pragma once

#include <string>

#include "basics/console.h"

namespace lumora {

// The exit codes of --check (2, a command line not understood, is the
// command line's).
constexpr int CHECK_WOULD_WRITE = 0;      // veska would write a model with this file
constexpr int CHECK_WOULD_NOT_WRITE = 1;  // it would not: the file has errors or cannot be read

// Reads the definition file and computes its lights with the program's own
// code, as veska does, and prints veska's messages unchanged, each followed
// by an indented line saying what to change; then the notes about what veska
// accepts but a user almost certainly did not mean; and last one line that
// says whether veska would write a model with this file. Returns
// CHECK_WOULD_WRITE or CHECK_WOULD_NOT_WRITE.
int run_check(const Console& console, const std::string& definition_name);

}  // namespace lumora
