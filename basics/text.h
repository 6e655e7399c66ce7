// Case-insensitive comparison of names, headers and unit suffixes: ASCII
// letters only, the same on every platform and in every locale; and the
// blanks and tabs around a name or a value trimmed.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace lumora {

inline char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// True when text begins with start.
inline bool starts_with(std::string_view text, std::string_view start)
{
    return text.substr(0, start.size()) == start;
}

// True when a and b are the same text but for the case of ASCII letters.
inline bool equal_ignoring_case(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return ascii_lower(x) == ascii_lower(y); });
}

// The same for a text that ends at its zero byte, compared in place
// without measuring it first.
inline bool equal_ignoring_case(std::string_view a, const char* b)
{
    std::size_t i = 0;
    while (i < a.size() && b[i] != '\0' && (a[i] == b[i] || ascii_lower(a[i]) == ascii_lower(b[i]))) {
        ++i;
    }
    return i == a.size() && b[i] == '\0';
}

// The text without the blanks and tabs at its start and its end.
inline std::string trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    return first == std::string_view::npos
               ? std::string()
               : std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

}  // namespace lumora
