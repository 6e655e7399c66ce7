// The UTF helper: what a sequence is read as, and the bytes and units a code
// point is written as.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unicode/utf.h"

namespace lumora {

namespace {

TEST(Utf, ReadsEachSequenceAsWholeCutOrInvalid)
{
    const struct {
        std::string bytes;
        Utf8Kind kind;
        std::size_t length;
        std::uint32_t code_point;
    } cases[] = {
        {"A", Utf8Kind::whole, 1, 0x41},
        {"\xC3\xA9x", Utf8Kind::whole, 2, 0xE9},
        {"\xE2\x82\xAC", Utf8Kind::whole, 3, 0x20AC},
        {"\xF0\x9F\x98\x80", Utf8Kind::whole, 4, 0x1F600},
        {"\xF4\x8F\xBF\xBF", Utf8Kind::whole, 4, 0x10FFFF},
        {"\xE2\x82", Utf8Kind::cut, 2, 0},
        {"\xF0", Utf8Kind::cut, 1, 0},
        {"\x80", Utf8Kind::invalid, 1, 0},            // a stray continuation byte
        {"\xC0\xAF", Utf8Kind::invalid, 1, 0},        // overlong
        {"\xE0\x80\xAF", Utf8Kind::invalid, 1, 0},    // overlong
        {"\xED\xA0\x80", Utf8Kind::invalid, 1, 0},    // a surrogate
        {"\xF4\x90\x80\x80", Utf8Kind::invalid, 1, 0},  // beyond U+10FFFF
        {"\xE2\x41\x82", Utf8Kind::invalid, 1, 0},    // a byte that continues nothing
        {"\xF8\x88\x80\x80", Utf8Kind::invalid, 1, 0},
    };
    for (const auto& c : cases) {
        const Utf8Sequence read =
            decode_utf8(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size());
        EXPECT_EQ(read.kind, c.kind) << c.bytes;
        EXPECT_EQ(read.length, c.length) << c.bytes;
        EXPECT_EQ(read.code_point, c.code_point) << c.bytes;
    }
}

TEST(Utf, WritesACodePointAsUtf8AndAsUtf16)
{
    const struct {
        std::uint32_t code_point;
        std::string utf8;
        std::vector<std::uint16_t> utf16;
    } cases[] = {
        {0x7F, "\x7F", {0x7F}},
        {0x80, "\xC2\x80", {0x80}},
        {0x7FF, "\xDF\xBF", {0x7FF}},
        {0x800, "\xE0\xA0\x80", {0x800}},
        {0xFFFD, "\xEF\xBF\xBD", {0xFFFD}},
        {0x10000, "\xF0\x90\x80\x80", {0xD800, 0xDC00}},
        {0x1F600, "\xF0\x9F\x98\x80", {0xD83D, 0xDE00}},
        {0x10FFFF, "\xF4\x8F\xBF\xBF", {0xDBFF, 0xDFFF}},
    };
    for (const auto& c : cases) {
        std::string utf8 = "<";
        append_utf8(utf8, c.code_point);
        EXPECT_EQ(utf8, "<" + c.utf8);
        std::vector<std::uint16_t> units;
        append_utf16(c.code_point, [&](std::uint16_t unit) { units.push_back(unit); });
        EXPECT_EQ(units, c.utf16);
    }
}

}  // namespace

}  // namespace lumora
