// veska-inspect --check DEFINITION: what to change in a definition file.
#pragma once

#include <string>
#include <vector>

#include "basics/console.h"
#include "basics/messages.h"
#include "definition/definition.h"
#include "lights/light_geometry.h"
#include "lights/lights_from_definition.h"

namespace lumora {

// One message of the check: veska's message or a note, and the hint that
// --check prints under it (empty for none).
struct CheckRecord {
    Message message;
    std::string hint;
};

// Everything the check found in a definition file, in the order --check
// prints it.
struct CheckReport {
    std::vector<CheckRecord> records;
    LightsOutcome outcome = LightsOutcome::not_read;
    bool error_flag = false;  // veska's error flag at the end of its steps
    bool would_write = false;
    unsigned errors = 0;      // the records of severity error
    std::vector<std::uint32_t> dark_lights;  // the numbers of the computed lights that light no ground
};

// The check of a definition file's bytes (the tuning page's), named name in
// the messages: veska's steps into definition and lights, with every
// record.
CheckReport check_definition_bytes(const std::string& name, std::string bytes, Definition& definition,
                                   LightSet& lights);

// The check's last line: whether veska would write a model with the file.
std::string check_verdict(const CheckReport& report);

// Reads the definition file through files and computes its lights with the program's own
// code, as veska does, and prints veska's messages unchanged, each followed
// by an indented line saying what to change; then the notes about what veska
// accepts but a user almost certainly did not mean; and last one line that
// says whether veska would write a model with this file. Returns 0 when it
// would, 1 when it would not: the file has errors or cannot be read.
[[nodiscard]] int run_check(const Console& console, FileSystem& files, const std::string& definition_name);

}  // namespace lumora
