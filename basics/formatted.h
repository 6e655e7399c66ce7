// printf-style formatting into strings, of any length.
#pragma once

#include <string>

namespace lumora {

#if defined(__GNUC__)
#define VESKA_PRINTF(fmt_index, first_arg) __attribute__((format(printf, fmt_index, first_arg)))
#else
#define VESKA_PRINTF(fmt_index, first_arg)
#endif

// Appends the formatted text to text.
void append_format(std::string& text, const char* format, ...) VESKA_PRINTF(2, 3);

// The formatted text.
std::string formatted(const char* format, ...) VESKA_PRINTF(1, 2);

}  // namespace lumora
