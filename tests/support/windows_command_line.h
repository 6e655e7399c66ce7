// Test support on Windows: one argument of a command line written so that
// the started program's parser (CommandLineToArgvW and the C runtime) reads
// it back unchanged.
#pragma once

#include <string>

namespace lumora {

// In quotes, with the backslashes before a quote doubled and the quote
// itself escaped.
inline std::wstring quoted_argument(const std::wstring& argument)
{
    std::wstring word = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        word.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        word += c;
    }
    word.append(2 * backslashes, L'\\');
    return word + L"\"";
}

}  // namespace lumora
