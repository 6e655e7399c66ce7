// printf-style formatting into strings, of any length.
#pragma once

#include <cstdarg>
#include <string>

#include "basics/console.h"

namespace lumora {

// Appends the formatted text to text.
void append_format(std::string& text, const char* format, ...) VESKA_PRINTF(2, 3);
void append_vformat(std::string& text, const char* format, std::va_list args);

// The formatted text.
std::string formatted(const char* format, ...) VESKA_PRINTF(1, 2);

}  // namespace lumora
