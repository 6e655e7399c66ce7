// Test support: a program of the build run as a process of its own, as a
// user would run it, with its standard output going to a file, so that the
// test sees the bytes the program wrote.
#pragma once

#include <string>
#include <vector>

namespace lumora {

// Runs program with arguments (UTF-8; each reaches the program as one
// argument, unchanged), standard output to output_file (made anew). The
// program's exit code, or -1 when it could not be started or did not end by
// itself. Standard error goes to error_file where one is named.
int run_program(const std::string& program, const std::vector<std::string>& arguments, const std::string& output_file,
                const std::string& error_file = "");

}  // namespace lumora
