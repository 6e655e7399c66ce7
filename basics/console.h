// Where the program's output goes. Everything it says, progress lines and
// diagnostics alike, is written to one stream: standard output in the
// programs, a file when a test wants to read it back, none when a caller
// wants a step to run silently. A caller that wants the text itself (to
// look at each message before it shows it) also gives a string, which
// receives everything that is printed, whether or not a stream is set.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

namespace lumora {

#if defined(__GNUC__)
#define VESKA_PRINTF(fmt_index, first_arg) __attribute__((format(printf, fmt_index, first_arg)))
#else
#define VESKA_PRINTF(fmt_index, first_arg)
#endif

struct Console {
    std::FILE* stream;           // null: nothing is printed
    std::string* text = nullptr;  // when set, everything printed is also appended here
};

void console_print(const Console& console, const char* format, ...) VESKA_PRINTF(2, 3);
void console_write(const Console& console, const char* text);
void console_write(const Console& console, const std::string& text);

// Flushes and closes standard output: 0 when all that was written to it
// reached it, else the error number (EIO where the system gave none).
int close_standard_output();

}  // namespace lumora
