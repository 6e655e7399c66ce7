// The diagnostic routine for messages about the definition file and the
// lights. A message's first character is its severity letter: 'e' error,
// 'w' warning, 'i' info; anything else is a fatal error printed whole.
// Errors and fatal errors set the error flag, which stops writing.
#pragma once

#include <cstdint>

#include "basics/console.h"

namespace lumora {

// What the diagnostics of one run print and record.
struct Diagnostics {
    Console console;
    const char* definition_name;  // printed in every header; null prints as ""
    std::uint32_t line_counter;   // the definition reader's line count, printed by report_at_line
    std::uint32_t error_flag;     // set by every error; never cleared
};

// Header "<Severity> in <definition file>: ", then the message.
void report(Diagnostics& diagnostics, const char* message, ...) VESKA_PRINTF(2, 3);

// Header "<Severity> in <definition file>, line <n>: ", then the message.
void report_at_line(Diagnostics& diagnostics, const char* message, ...) VESKA_PRINTF(2, 3);

}  // namespace lumora
