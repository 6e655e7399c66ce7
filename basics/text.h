// Case-insensitive comparison of names, headers and unit suffixes: ASCII
// letters only, the same on every platform and in every locale.
#pragma once

namespace lumora {

inline char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// True when a and b are the same text but for the case of ASCII letters.
inline bool equal_ignoring_case(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (ascii_lower(*a) != ascii_lower(*b)) {
            return false;
        }
    }
    return *a == *b;
}

}  // namespace lumora
