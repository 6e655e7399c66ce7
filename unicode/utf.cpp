#include "unicode/utf.h"

namespace lumora {

Utf8Sequence decode_utf8(const unsigned char* bytes, std::size_t available)
{
    const unsigned char lead = bytes[0];
    if (lead < 0x80) {
        return {Utf8Kind::whole, 1, lead};
    }
    if (lead < 0xC2 || lead > 0xF4) {
        return {Utf8Kind::invalid, 1, 0};
    }
    // The lead byte's high bits give the length (110x: 2, 1110: 3, 11110:
    // 4); the bits below them begin the value.
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    std::uint32_t value = lead & (0x7Fu >> length);
    // The second byte's range excludes the overlong forms, the surrogates
    // and what lies beyond U+10FFFF.
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    for (std::size_t i = 1; i < length; ++i) {
        if (i >= available) {
            return {Utf8Kind::cut, i, 0};
        }
        const unsigned char c = bytes[i];
        if (c < (i == 1 ? low : 0x80) || c > (i == 1 ? high : 0xBF)) {
            return {Utf8Kind::invalid, 1, 0};
        }
        value = (value << 6) | (c & 0x3Fu);
    }
    return {Utf8Kind::whole, length, value};
}

void append_utf8(std::string& text, std::uint32_t c)
{
    if (c < 0x80) {
        text += static_cast<char>(c);
        return;
    }
    const int continuation = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    static constexpr unsigned char LEADS[4] = {0, 0xC0, 0xE0, 0xF0};
    text += static_cast<char>(LEADS[continuation] | (c >> (6 * continuation)));
    for (int shift = 6 * (continuation - 1); shift >= 0; shift -= 6) {
        text += static_cast<char>(0x80 | ((c >> shift) & 0x3F));
    }
}

}  // namespace lumora
