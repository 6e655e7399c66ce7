// UTF-8 and UTF-16, written once: one code point read from UTF-8, and a code
// point appended as UTF-8 or as UTF-16 code units.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumora {

enum class Utf8Kind : std::uint8_t { whole, cut, invalid };

struct Utf8Sequence {
    Utf8Kind kind;
    std::size_t length;       // whole: its bytes; cut: the bytes there; invalid: 1
    std::uint32_t code_point;  // of a whole sequence, else 0
};

// The UTF-8 sequence that begins at bytes[0], of which available bytes (one
// at least) are there: whole, cut short by the end of the bytes, or invalid
// (an overlong form, a surrogate, a value beyond U+10FFFF, a stray
// continuation byte or lead byte).
Utf8Sequence decode_utf8(const unsigned char* bytes, std::size_t available);

// Appends a code point (at most U+10FFFF) as UTF-8.
void append_utf8(std::string& text, std::uint32_t code_point);

// Hands a code point as UTF-16 code units to put, one call a unit: two (a
// surrogate pair) above U+FFFF.
template <typename Put>
void append_utf16(std::uint32_t code_point, Put&& put)
{
    if (code_point < 0x10000) {
        put(static_cast<std::uint16_t>(code_point));
    } else {
        put(static_cast<std::uint16_t>(0xD800 + ((code_point - 0x10000) >> 10)));
        put(static_cast<std::uint16_t>(0xDC00 + ((code_point - 0x10000) & 0x3FF)));
    }
}

}  // namespace lumora
