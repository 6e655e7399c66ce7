#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "basics/number_text.h"

namespace lumora {

namespace {

// The text of a value that is not a finite number depends on the sign bit
// alone, on every platform, and is padded like a number.
TEST(NumberText, FixedTextOfEveryKindOfValue)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double value;
        int width;
        int precision;
        const char* text;
    } cases[] = {
        {9.4623, 5, 2, " 9.46"},  {-4.7636, 5, 2, "-4.76"}, {-0.001, 5, 2, "-0.00"}, {0.0, 5, 2, " 0.00"},
        {123.456, 0, 2, "123.46"}, {nan, 5, 2, "  nan"},    {-nan, 5, 2, " -nan"},  {std::copysign(nan, -1.0), 0, 2, "-nan"},
        {inf, 5, 2, "  inf"},      {-inf, 5, 2, " -inf"},   {-inf, 2, 2, "-inf"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fixed_text(c.value, c.width, c.precision), c.text) << c.text;
    }
}

// Fixed texts as the C library writes them, for values of every size and
// values next to them; the exact ties of binary fractions go to the even
// digit (as glibc writes them, and so on every platform).
TEST(NumberText, FixedTextAsTheCLibraryWritesIt)
{
    const struct {
        double value;
        int precision;
        const char* text;
    } ties[] = {
        {0.125, 2, "0.12"}, {0.375, 2, "0.38"}, {-0.125, 2, "-0.12"}, {2.5, 0, "2"}, {3.5, 0, "4"},
        {-0.5, 0, "-0"},    {1.0625, 3, "1.062"}, {0.0, 3, "0.000"},
    };
    for (const auto& c : ties) {
        EXPECT_EQ(fixed_text(c.value, 0, c.precision), c.text);
    }
    std::uint64_t state = 12345;
    const auto next = [&state] {
        state = state * 6364136223846793005u + 1442695040888963407u;
        return state >> 11;
    };
    for (int i = 0; i < 50000; ++i) {
        const int precision = static_cast<int>(next() % 8);
        const double scale = std::ldexp(1.0, static_cast<int>(next() % 70) - 40);
        double value = static_cast<double>(next()) / 9007199254740992.0 * scale;
        if (i % 2 == 0) {  // next to a value with few decimals
            value = std::nextafter(std::round(value * 1000.0) / 1000.0 + 0.0005, next() % 2 == 0 ? 0.0 : 1e300);
        }
        value = next() % 2 == 0 ? -value : value;
        char expected[400];
        std::snprintf(expected, sizeof expected, "%*.*f", 6, precision, value);
        ASSERT_EQ(fixed_text(value, 6, precision), expected) << value << " " << precision;
    }
}

std::uint64_t bits_of(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The texts on which C libraries disagree, read as glibc reads them on every
// platform: the value's bits and the characters used.
TEST(NumberText, ReadNumberAsGlibcReadsIt)
{
    const struct {
        const char* text;
        std::uint64_t bits;
        int used;
    } cases[] = {
        // No number: +0 and nothing used, whatever sign or blanks came first.
        {"", 0, 0}, {"-", 0, 0}, {"+", 0, 0}, {"-x", 0, 0}, {" -.", 0, 0}, {"- 1", 0, 0}, {"-.e1", 0, 0}, {"\t+", 0, 0},
        {"abc", 0, 0},
        // Blanks, signs and the decimal forms.
        {" \t\v\f\r\n5", 0x4014000000000000, 7}, {"-0", 0x8000000000000000, 2}, {".5", 0x3FE0000000000000, 2},
        {"5.", 0x4014000000000000, 2}, {"1e", 0x3FF0000000000000, 1}, {"1e+", 0x3FF0000000000000, 1},
        {"1E5ft", 0x40F86A0000000000, 3}, {"1,5", 0x3FF0000000000000, 1}, {"1d5", 0x3FF0000000000000, 1},
        {"1e400", 0x7FF0000000000000, 5}, {"-1e-400", 0x8000000000000000, 7}, {"4.9e-324", 1, 8},
        {"9007199254740993.000000000000000000001", 0x4340000000000001, 38},
        // Hexadecimal: "0x" needs a digit, "p" an exponent's digits.
        {"0x1p3", 0x4020000000000000, 5}, {"-0X1.8P+1", 0xC008000000000000, 9}, {"0x", 0, 1}, {"0xg", 0, 1},
        {"-0x.", 0x8000000000000000, 2}, {"0x.8", 0x3FE0000000000000, 4}, {"0x1p", 0x3FF0000000000000, 3},
        {"0x1.8p-1074", 2, 11},
        // Infinity and NaN, the payload only from a whole number in closed parentheses.
        {"inf", 0x7FF0000000000000, 3}, {"-INFINITY", 0xFFF0000000000000, 9}, {"infinit", 0x7FF0000000000000, 3},
        {"nan", 0x7FF8000000000000, 3}, {"-NaN", 0xFFF8000000000000, 4}, {"nan(123)", 0x7FF800000000007B, 8},
        {"nan(0x7)", 0x7FF8000000000007, 8}, {"nan(010)", 0x7FF8000000000008, 8}, {"nan(08)", 0x7FF8000000000000, 7},
        {"nan(abc)", 0x7FF8000000000000, 8}, {"nan(0)", 0x7FF8000000000000, 6}, {"nan()", 0x7FF8000000000000, 5},
        {"nan(0x10000000000000)", 0x7FF8000000000000, 21}, {"nan(0x7ffffffffffff)", 0x7FFFFFFFFFFFFFFF, 20},
        {"nan(99999999999999999999999)", 0x7FFFFFFFFFFFFFFF, 28}, {"-nan(5)", 0xFFF8000000000005, 7},
        {"nan(", 0x7FF8000000000000, 3}, {"nan(123", 0x7FF8000000000000, 3}, {"nan(12 3)", 0x7FF8000000000000, 3},
        {"nan(-1)", 0x7FF8000000000000, 3}, {"nan(1.5)", 0x7FF8000000000000, 3},
    };
    for (const auto& c : cases) {
        const char* end = nullptr;
        const double value = read_number(c.text, &end);
        EXPECT_EQ(bits_of(value), c.bits) << c.text;
        EXPECT_EQ(end - c.text, c.used) << c.text;
    }
}

#if defined(__GLIBC__)
// On glibc the reader and strtod agree on texts made of the pieces that
// matter to either.
TEST(NumberText, ReadNumberAgreesWithGlibcStrtod)
{
    const char* const pieces[] = {"0", "1", "7", "9", "12", "08", ".", "e", "E", "p", "P", "x", "0x", "0X", "+", "-",
                                  "inf", "INF", "inity", "nan", "NaN", "(", ")", "_", "a", "f", "g", " ", "\t", "\n"};
    std::uint64_t state = 12345;
    for (int n = 0; n < 200000; ++n) {
        std::string text;
        for (int i = 1 + n % 9; i > 0; --i) {
            state = state * 6364136223846793005u + 1442695040888963407u;
            text += pieces[(state >> 33) % (sizeof pieces / sizeof pieces[0])];
        }
        char* strtod_end = nullptr;
        const double expected = std::strtod(text.c_str(), &strtod_end);
        const char* end = nullptr;
        const double value = read_number(text.c_str(), &end);
        ASSERT_EQ(bits_of(value), bits_of(expected)) << text;
        ASSERT_EQ(end, strtod_end) << text;
    }
}
#endif

}  // namespace

}  // namespace lumora
