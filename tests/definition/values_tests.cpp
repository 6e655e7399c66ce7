#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "basics/whole_number.h"
#include "definition/keys.h"
#include "tests/support/console_capture.h"

namespace lumora {

namespace {


// A section holding value under key, as if read from line 7.
DefinitionSection section_with(KeyId key, const char* value)
{
    DefinitionSection section;
    EXPECT_TRUE(add_entry(section, key, value, 7));
    return section;
}

struct ValueCase {
    const char* value;
    double number;
    const char* message;  // printed after "<Severity> in units.def: ", or empty
};

const char* const BAD_UNIT = "Error in units.def: Invalid unit of measurement specification '%s' in line 7.\n";
const char* const NO_UNIT = "Warning in units.def: No unit of measurement expected in line 7.\n";

std::string expected_message(const char* format, const char* value)
{
    if (format == nullptr) {
        return "";
    }
    std::string text = format;
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) {
        text.replace(at, 2, value);
    }
    return text;
}

TEST(DefinitionValues, LengthsWithUnits)
{
    const ValueCase cases[] = {
        {"12 ft", 3.6576, nullptr},
        {"12ft", 3.6576, nullptr},
        {"12 FT", 3.6576, nullptr},
        {"12\tft", 3.6576, nullptr},
        {"150 cm", 1.5, nullptr},
        {"59 in", 1.4986, nullptr},
        {"2.5 m", 2.5, nullptr},
        {"2.5", 2.5, nullptr},
        {"2.5  \t", 2.5, nullptr},
        {"-1.2 m", -1.2, nullptr},
        {"   ", 0.0, nullptr},
        {"ft", 0.0, nullptr},
        // A Pitch given in feet is scaled like a length before it is taken as degrees.
        {"3 ft", 0.9144, nullptr},
        // The suffix must end the value: a trailing blank makes it unknown.
        {"12 ft ", 12.0, BAD_UNIT},
        {"12 mm", 12.0, BAD_UNIT},
        {"12 feet", 12.0, BAD_UNIT},
        {"12 ft ; comment", 12.0, BAD_UNIT},
        {"3 deg", 3.0, BAD_UNIT},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.value);
        const DefinitionSection section = section_with(KeyId::pitch, c.value);
        ConsoleCapture console;
        MessagePrinter printer{console.console()};
        Diagnostics diagnostics{printer, "units.def"};
        EXPECT_NEAR(get_key_value(diagnostics, section, KeyId::pitch, 99.0), c.number, 1e-12);
        EXPECT_EQ(console.text(), expected_message(c.message, c.value));
        EXPECT_EQ(diagnostics.error_flag, c.message != nullptr);
    }
}

TEST(DefinitionValues, PlainNumbers)
{
    const ValueCase cases[] = {
        {"5", 5.0, nullptr},
        {"5 \t", 5.0, nullptr},
        {"   ", 0.0, nullptr},
        {"5 deg", 5.0, NO_UNIT},
        {"5 m", 5.0, NO_UNIT},
        {"2 lights", 2.0, NO_UNIT},
        {"two", 0.0, NO_UNIT},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.value);
        const DefinitionSection section = section_with(KeyId::direction, c.value);
        ConsoleCapture console;
        MessagePrinter printer{console.console()};
        Diagnostics diagnostics{printer, "units.def"};
        EXPECT_DOUBLE_EQ(get_key_value(diagnostics, section, KeyId::direction, 99.0), c.number);
        EXPECT_EQ(console.text(), expected_message(c.message, c.value));
        EXPECT_FALSE(diagnostics.error_flag);
    }
}

TEST(DefinitionValues, AbsentKeyGivesTheDefaultUnconverted)
{
    const DefinitionSection section = section_with(KeyId::pitch, "1 in");
    ConsoleCapture console;
    MessagePrinter printer{console.console()};
    Diagnostics diagnostics{printer, "units.def"};
    EXPECT_EQ(get_key_value(diagnostics, section, KeyId::max_range, -4.5), 30.0);
    EXPECT_EQ(get_key_value(diagnostics, section_with(KeyId::direction, "1 in"), KeyId::pitch, -4.5), -4.5);
    EXPECT_EQ(console.text(), "");
}

TEST(DefinitionValues, EveryReadReportsAgain)
{
    const DefinitionSection section = section_with(KeyId::max_range, "12 mm");
    ConsoleCapture console;
    MessagePrinter printer{console.console()};
    Diagnostics diagnostics{printer, "units.def"};
    get_key_value(diagnostics, section, KeyId::max_range, 0.0);
    get_key_value(diagnostics, section, KeyId::max_range, 0.0);
    const std::string once = expected_message(BAD_UNIT, "12 mm");
    EXPECT_EQ(console.text(), once + once);
}

TEST(WholeNumber, TruncatesThenKeepsLowBits)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double x;
        std::uint32_t bits;
    } cases[] = {
        {2.9, 2u},
        {-0.5, 0u},
        {-1.0, 0xFFFFFFFFu},
        {-2.9, 0xFFFFFFFEu},
        {4294967295.9, 0xFFFFFFFFu},
        {4294967296.0, 0u},
        {4294967297.0, 1u},
        {4503599627370499.0, 3u},         // 2^52 + 3
        {-1099511627781.0, 0xFFFFFFFBu},  // -(2^40 + 5)
        {9223372036854774784.0, 0xFFFFFC00u},   // 2^63 - 1024, the largest below 2^63
        {-9223372036854774784.0, 0x400u},
        {9223372036854775808.0, 0u},            // 2^63
        {-9223372036854775808.0, 0u},
        {18446744073709555712.0, 0x1000u},      // 2^64 + 4096
        {-18446744073709555712.0, 0xFFFFF000u},
        {1e300, 0u},
        {inf, 0u},
        {-inf, 0u},
        {std::nan(""), 0u},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(low_bits_of_whole(c.x), c.bits) << c.x;
    }
    EXPECT_EQ(to_word(65537.5), 1u);
    EXPECT_EQ(to_word(-1.0), 0xFFFFu);
    EXPECT_EQ(to_signed_word(40000.0), -25536);
    EXPECT_EQ(to_signed_word(-32769.0), 32767);
    EXPECT_EQ(to_signed_word(-32768.9), -32768);
}

TEST(DefinitionValues, StoreKeepsTheFirstOfAKeyInOrder)
{
    DefinitionSection section;
    EXPECT_TRUE(add_entry(section, KeyId::main_gear_dist, "five", 3));
    EXPECT_TRUE(add_entry(section, KeyId::main_gear_height, "six", 3));
    EXPECT_TRUE(add_entry(section, KeyId::other_gear_dist, "first", 3));
    EXPECT_FALSE(add_entry(section, KeyId::other_gear_dist, "second", 4));
    ASSERT_NE(lookup_entry(section, KeyId::other_gear_dist), nullptr);
    EXPECT_EQ(lookup_entry(section, KeyId::other_gear_dist)->value, "first");
    EXPECT_EQ(lookup_entry(section, KeyId::other_gear_dist)->line, 3u);
    EXPECT_EQ(lookup_entry(section, KeyId::main_gear_height)->value, "six");
    EXPECT_EQ(lookup_entry(section, KeyId::other_gear_height), nullptr);
    ASSERT_EQ(section.entries.size(), 3u);
    EXPECT_EQ(section.entries[0].value, "five");
}

}  // namespace

}  // namespace lumora
