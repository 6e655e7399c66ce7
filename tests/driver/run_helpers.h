// Test support for whole runs of the program in this process.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "driver/run.h"
#include "driver/run_state.h"
#include "mdl/output.h"
#include "tests/support/console_capture.h"

struct RunOutcome {
    int exit_code;
    std::string output;
    std::uint32_t error_flag;  // as the run left it
};

// Runs the command with these arguments (those after the program name) from
// a freshly reset program state, with the given fault injected into the
// file output. The state is left as the run left it, for the caller to look
// at; the caller resets it.
inline RunOutcome run_command(const std::vector<std::string>& arguments, const OutputFault& fault = OutputFault{})
{
    reset_program_state();
    output_fault = fault;
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    ConsoleCapture capture;
    const int exit_code = run_veska(static_cast<int>(argv.size()), argv.data());
    return {exit_code, capture.text(), run_state.error_flag};
}

// The names in a folder, sorted.
inline std::vector<std::string> folder_names(const std::string& path)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

inline bool ends_with(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}
