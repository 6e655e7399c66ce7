#include "basics/windows_1252.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <cstring>
#include <utility>

#include "unicode/utf.h"

namespace lumora {

namespace {

// The characters of bytes 0x80 to 0x9F; 0 where the code page has none.
constexpr std::uint16_t HIGH_CONTROLS[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

std::uint32_t character_of_byte(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0 && HIGH_CONTROLS[byte - 0x80] != 0) {
        return HIGH_CONTROLS[byte - 0x80];
    }
    return byte;
}

// The UTF-8 sequence at the start of text: whole, or none (a stray byte, a
// cut sequence, an overlong form, a surrogate or a number beyond U+10FFFF).
Utf8Sequence sequence_at(std::string_view text)
{
    return decode_utf8(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

}  // namespace

std::vector<TextUnit> text_units(std::string_view bytes)
{
    std::vector<TextUnit> units;
    for (std::size_t at = 0; at < bytes.size();) {
        const Utf8Sequence sequence = sequence_at(bytes.substr(at));
        const bool whole = sequence.kind == Utf8Kind::whole;
        TextUnit unit{bytes.substr(at, whole ? sequence.length : 1), std::string()};
        if (whole) {
            unit.shown = unit.bytes;
        } else {
            append_utf8(unit.shown, character_of_byte(static_cast<unsigned char>(bytes[at])));
        }
        at += unit.bytes.size();
        units.push_back(std::move(unit));
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
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    for (std::size_t at = 0; at < size;) {
        // Most text is ASCII: eight bytes at a time while no byte has its
        // high bit set, then one at a time.
        std::uint64_t eight = 0;
        if (size - at >= sizeof eight) {
            std::memcpy(&eight, data + at, sizeof eight);
            if ((eight & 0x8080808080808080u) == 0) {
                at += sizeof eight;
                continue;
            }
        }
        if (data[at] < 0x80) {
            ++at;
            continue;
        }
        const Utf8Sequence sequence = decode_utf8(data + at, size - at);
        if (sequence.kind != Utf8Kind::whole) {
            return false;
        }
        at += sequence.length;
    }
    return true;
}

std::string windows_1252_bytes(std::string_view utf8)
{
    std::string bytes;
    for (std::size_t at = 0; at < utf8.size();) {
        const Utf8Sequence sequence = sequence_at(utf8.substr(at));
        const std::uint32_t c = sequence.code_point;
        if (sequence.kind != Utf8Kind::whole) {
            bytes += utf8[at];
            ++at;
            continue;
        }
        if (c < 0x100 && character_of_byte(static_cast<unsigned char>(c)) == c) {
            bytes += static_cast<char>(c);
        } else if (const auto* high = std::find(std::begin(HIGH_CONTROLS), std::end(HIGH_CONTROLS), c);
                   high != std::end(HIGH_CONTROLS)) {
            bytes += static_cast<char>(0x80 + (high - std::begin(HIGH_CONTROLS)));
        } else {
            bytes.append(utf8.substr(at, sequence.length));
        }
        at += sequence.length;
    }
    return bytes;
}

}  // namespace lumora
