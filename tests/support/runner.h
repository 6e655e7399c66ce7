// Test support: the two programs run in the test's process, each run in
// records of its own, with everything it printed captured.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "basics/messages.h"
#include "lights/code_templates.h"
#include "lights/light_geometry.h"
#include "platform/file_system.h"

namespace lumora {

struct RunOutcome {
    int exit_code;
    std::string output;        // everything printed, veska's banner included
    bool error_flag;           // veska: as the run left it
    LightSet lights;           // veska: the lights as the run computed them
    CodeTemplate block;        // veska: the filled block, size 0 when none was filled
    std::vector<Message> messages;  // veska: every message of the run
};

// veska with these arguments (those after the program name), in a RunState
// of its own, writing through files (the system's when not given).
RunOutcome run_veska_in_process(const std::vector<std::string>& arguments);
RunOutcome run_veska_in_process(const std::vector<std::string>& arguments, FileSystem& files);

// veska-inspect with these arguments.
RunOutcome run_inspect_in_process(const std::vector<std::string>& arguments);
RunOutcome run_inspect_in_process(const std::vector<std::string>& arguments, FileSystem& files);

// The banner as veska prints it.
std::string banner_text();

// True when text ends with tail (a program's output with its last line).
bool ends_with(const std::string& text, const std::string& tail);

// What veska printed after its banner (all of it when it does not begin
// with the banner).
std::string after_banner(const std::string& output);

}  // namespace lumora
