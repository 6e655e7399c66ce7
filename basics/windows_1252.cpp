#include "basics/windows_1252.h"

#include <cstdint>

namespace lumora {

namespace {

// The characters of bytes 0x80 to 0x9F; 0 where the code page has none.
constexpr std::uint16_t HIGH_CONTROLS[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

void append_utf8(std::string& out, std::uint32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::uint32_t character_of_byte(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0 && HIGH_CONTROLS[byte - 0x80] != 0) {
        return HIGH_CONTROLS[byte - 0x80];
    }
    return byte;
}

// The length of the whole UTF-8 sequence at the start of text, or 0 when
// there is none (a stray byte, a cut sequence, an overlong form, a
// surrogate or a number beyond U+10FFFF).
std::size_t sequence_length(std::string_view text, std::uint32_t& c)
{
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = at(0);
    if (lead < 0x80) {
        c = lead;
        return 1;
    }
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4                                 ? 4
                                                                                               : 0;
    if (length == 0 || text.size() < length) {
        return 0;
    }
    c = lead & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
    for (std::size_t k = 1; k < length; ++k) {
        if ((at(k) & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (at(k) & 0x3F);
    }
    const std::uint32_t least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return 0;
    }
    return length;
}

}  // namespace

std::vector<TextUnit> text_units(std::string_view bytes)
{
    std::vector<TextUnit> units;
    for (std::size_t at = 0; at < bytes.size();) {
        std::uint32_t c = 0;
        const std::size_t length = sequence_length(bytes.substr(at), c);
        if (length != 0) {
            units.push_back({bytes.substr(at, length), std::string(bytes.substr(at, length))});
            at += length;
        } else {
            std::string shown;
            append_utf8(shown, character_of_byte(static_cast<unsigned char>(bytes[at])));
            units.push_back({bytes.substr(at, 1), shown});
            ++at;
        }
    }
    return units;
}

std::string shown_text(std::string_view bytes)
{
    if (is_utf8(bytes)) {
        return std::string(bytes);
    }
    std::string shown;
    for (const TextUnit& unit : text_units(bytes)) {
        shown += unit.shown;
    }
    return shown;
}

bool is_utf8(std::string_view bytes)
{
    for (std::size_t at = 0; at < bytes.size();) {
        std::uint32_t c = 0;
        const std::size_t length = sequence_length(bytes.substr(at), c);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

std::string windows_1252_bytes(std::string_view utf8)
{
    std::string bytes;
    for (std::size_t at = 0; at < utf8.size();) {
        std::uint32_t c = 0;
        std::size_t length = sequence_length(utf8.substr(at), c);
        if (length == 0) {
            bytes += utf8[at];
            ++at;
            continue;
        }
        int byte = c < 0x100 && !(c >= 0x80 && c < 0xA0 && HIGH_CONTROLS[c - 0x80] != 0) ? static_cast<int>(c) : -1;
        for (unsigned k = 0; k < 32 && byte < 0; ++k) {
            byte = HIGH_CONTROLS[k] != 0 && HIGH_CONTROLS[k] == c ? static_cast<int>(0x80 + k) : -1;
        }
        if (byte >= 0) {
            bytes += static_cast<char>(byte);
        } else {
            bytes.append(utf8.substr(at, length));
        }
        at += length;
    }
    return bytes;
}

}  // namespace lumora
