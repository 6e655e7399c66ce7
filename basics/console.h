// Where the program's output goes. Everything it says, progress lines and
// diagnostics alike, is written to one place: the platform's standard
// output in the programs (which shows the text on a Windows console as the
// characters it holds), a stream such as a file when a test wants to read
// it back, nothing when a caller wants a step to run silently. A caller that
// wants the text itself (to look at each message before it shows it) also
// gives a string, which receives everything that is printed, whether or not
// anything else is set.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/standard_output.h"

namespace lumora {

#if defined(__GNUC__)
#define VESKA_PRINTF(fmt_index, first_arg) __attribute__((format(printf, fmt_index, first_arg)))
#else
#define VESKA_PRINTF(fmt_index, first_arg)
#endif

struct Console {
    std::FILE* stream;           // null: nothing is printed to a stream
    std::string* text = nullptr;  // when set, everything printed is also appended here
    StandardOutput* standard_output = nullptr;  // when set, everything printed goes here too
};

// True when what is printed to the console goes anywhere.
inline bool console_prints(const Console& console)
{
    return console.stream != nullptr || console.text != nullptr || console.standard_output != nullptr;
}

void console_print(const Console& console, const char* format, ...) VESKA_PRINTF(2, 3);
void console_write(const Console& console, const char* text);
void console_write(const Console& console, const std::string& text);

// Flushes and closes standard output, which output writes: 0 when all that
// was written to it reached it, else the error number (EIO where the system
// gave none).
[[nodiscard]] int close_standard_output(StandardOutput& output);

}  // namespace lumora
