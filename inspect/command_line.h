// The command line of veska-inspect: a report on a model (or the check of a
// definition file given alone), --strip, --check, --preview, --help and
// --version.
#pragma once

#include <string>
#include <vector>

#include "basics/console.h"
#include "platform/file_system.h"
#include "platform/help_conventions.h"

namespace lumora {

constexpr char INSPECT_USAGE_TEXT[] =
    "Usage: veska-inspect MODEL\n"
    "       veska-inspect --strip MODEL [TARGET]\n"
    "       veska-inspect --check DEFINITION\n"
    "       veska-inspect --preview DEFINITION OUT.svg [--before EARLIER]\n"
    "       veska-inspect --help | --version\n";

// What "veska-inspect --help" prints after the usage, with the manual named
// as it comes on a system that keeps the manuals in form.
std::string inspect_help_text(ManualForm form);

// Runs one command for the arguments that follow the program name, writing
// through files, and returns the exit code: 0 on success, 1 for a refused or unreadable input,
// 2 for a command line that is not understood (or the writer's error number);
// for --check, 0 when veska would write a model with the file, 1 when not.
// "--help", "-h" or "-?" (or the system's own word, "/?" on Windows) or "--version"
// alone prints the help or the version. A name alone gets the report on a
// model, or the check when it names a text file (given_file.h).
[[nodiscard]] int run_inspect(const Console& console, FileSystem& files, const std::vector<std::string>& arguments);

}  // namespace lumora
