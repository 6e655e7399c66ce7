// The diagnostic routine for messages about the definition file and the
// lights. A message's first character is its severity letter: 'e' error,
// 'w' warning, 'i' info; anything else is a fatal error printed whole.
// Errors and fatal errors set run_state.error_flag, which stops writing.
#pragma once

#include <cstdarg>

#include "driver/console.h"

// Header "<Severity> in <definition file>: ", then the message.
void report(const char* message, ...) VESKA_PRINTF(1, 2);

// Header "<Severity> in <definition file>, line <n>: ", then the message.
void report_at_line(const char* message, ...) VESKA_PRINTF(1, 2);
