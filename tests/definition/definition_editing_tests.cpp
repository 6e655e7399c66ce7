// Editing a definition file as the tuning page does: only the lines a change
// concerns differ, and the reader then reads what the form says.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "definition/definition_editing.h"
#include "definition/keys.h"
#include "definition/reader.h"
#include "tests/support/files.h"

namespace lumora {

namespace {

struct EditCase {
    const char* title;
    std::string before;
    unsigned section;
    const char* key;
    const char* value;
    std::string after;
};

const std::string FILE_CRLF =
    "; comment first\r\n[Main]\r\nLights=1\r\n; gear\r\nMainGearHeight=-2\r\n\r\n[Light 1]\r\nLatOffset=3\r\n"
    "; about the light\r\n\r\n";

TEST(DefinitionEditing, ChangesOnlyTheLinesAChangeConcerns)
{
    const std::vector<EditCase> cases = {
        {"a value is replaced on its line, the name as written kept", "[Main]\nlights=1 \n[Light 1]\nlatoffset=3\n", 1,
         "LatOffset", "-2.5 ft", "[Main]\nlights=1 \n[Light 1]\nlatoffset=-2.5 ft\n"},
        {"a value with a comment behind it is replaced whole", "[Light 1]\nDirection=5 ; deg\n", 1, "Direction", "7",
         "[Light 1]\nDirection=7\n"},
        {"a line without value gets it behind its =", "[Light 1]\r\nPitch=\r\nZOffset=1\r\n", 1, "Pitch", "2",
         "[Light 1]\r\nPitch=2\r\nZOffset=1\r\n"},
        {"a line without = gets one", "[Light 1]\nPitch\n", 1, "Pitch", "2", "[Light 1]\nPitch=2\n"},
        {"a new key goes behind the section's last key, before its comments", FILE_CRLF, 1, "MaxRange", "60 m",
         "; comment first\r\n[Main]\r\nLights=1\r\n; gear\r\nMainGearHeight=-2\r\n\r\n[Light 1]\r\nLatOffset=3\r\n"
         "MaxRange=60 m\r\n; about the light\r\n\r\n"},
        {"a new key in [Main] goes before the next section", FILE_CRLF, 0, "MainGearDist", "1",
         "; comment first\r\n[Main]\r\nLights=1\r\n; gear\r\nMainGearHeight=-2\r\nMainGearDist=1\r\n\r\n"
         "[Light 1]\r\nLatOffset=3\r\n; about the light\r\n\r\n"},
        {"a missing light section is added at the end, the last line ended first", "[Main]\nLights=2", 2, "ZOffset",
         "1", "[Main]\nLights=2\n\n[Light 2]\nZOffset=1\n"},
        {"a missing [Main] goes before the first section", "; lights\n[Light 1]\nZOffset=1\n", 0, "Lights", "1",
         "; lights\n[Main]\nLights=1\n\n[Light 1]\nZOffset=1\n"},
        {"an empty file gets the line end every system's editor reads", "", 0, "Lights", "1", "[Main]\r\nLights=1\r\n"},
        {"a cleared key loses every line that holds it", "[Light 1]\nZOffset=1\nMaxRange=5\nzoffset=2\n", 1, "ZOffset",
         "", "[Light 1]\nMaxRange=5\n"},
        {"clearing a key the file lacks changes nothing", "[Light 1]\nZOffset=1\n", 1, "MaxRange", " ",
         "[Light 1]\nZOffset=1\n"},
        {"a repeated section: the first one, which veska reads, is edited",
         "[Light 1]\nZOffset=1\n[Light 1]\nZOffset=2\n", 1, "ZOffset", "3", "[Light 1]\nZOffset=3\n[Light 1]\nZOffset=2\n"},
        {"the other gear's key keeps its written name", "[Main]\nNoseGearDist=-6\n", 0, "TailGearDist", "-5",
         "[Main]\nNoseGearDist=-5\n"},
        {"a line that begins with a blank is not the key's line", "[Light 1]\n ZOffset=1\n", 1, "ZOffset", "2",
         "[Light 1]\nZOffset=2\n ZOffset=1\n"},
        {"the key of another section is left alone", "[Main]\nLights=1\n[Light 1]\nLatOffset=1\n", 2, "LatOffset", "4",
         "[Main]\nLights=1\n[Light 1]\nLatOffset=1\n\n[Light 2]\nLatOffset=4\n"},
        {"a new section goes before an end-of-text mark outside the sections",
         "[Main]\nLights=1\n\x1A\n\x1A\nafter the end\n", 1, "ZOffset", "1",
         "[Main]\nLights=1\n\x1A\n\n[Light 1]\nZOffset=1\n\x1A\nafter the end\n"},
        {"bytes that are not UTF-8 stay as they are", "; 45\xB0 down\n[Light 1]\nPitch=1\n", 1, "Pitch", "2",
         "; 45\xB0 down\n[Light 1]\nPitch=2\n"},
    };
    for (const EditCase& c : cases) {
        const std::optional<std::string> after = edit_key(c.before, c.section, c.key, c.value);
        ASSERT_TRUE(after.has_value()) << c.title;
        EXPECT_EQ(*after, c.after) << c.title;
    }
}

// Every key of every example set and cleared: the reader then reads the
// value the form gave, or none, and no other line changes.
TEST(DefinitionEditing, TheReaderReadsWhatTheFormGave)
{
    for (const char* example : {"one_light.cfg", "two_lights.cfg", "three_lights.cfg"}) {
        const std::string original = read_file_text(std::string(EXAMPLES_DIR) + "/" + example);
        for (unsigned section = 0; section < SECTION_COUNT; ++section) {
            for (const KeyName& key : section_keys(section)) {
                for (const std::string value : {"7 ft", ""}) {
                    const std::string edited = *edit_key(original, section, key.name, value);
                    MessageLog log;
                    Diagnostics diagnostics{log};
                    Definition definition;
                    EXPECT_NE(read_definition_bytes(diagnostics, definition, edited), ReadOutcome::not_read);
                    const DefinitionEntry* entry = lookup_entry(definition.sections[section], key.id);
                    const std::string where = std::string(example) + " " + key.name + "='" + value + "'";
                    if (value.empty()) {
                        EXPECT_EQ(entry, nullptr) << where;
                    } else {
                        ASSERT_NE(entry, nullptr) << where;
                        EXPECT_EQ(entry->value, value) << where;
                    }
                    // The other lines: the original's lines with at most
                    // the key's line (and a new section's lines) changed.
                    std::size_t kept = 0;
                    for (std::size_t at = 0, line_end; at < original.size(); at = line_end + 1) {
                        line_end = original.find('\n', at);
                        const std::string line = original.substr(at, line_end - at + 1);
                        kept += edited.find(line) != std::string::npos ? 1 : 0;
                    }
                    const auto lines = static_cast<std::size_t>(std::count(original.begin(), original.end(), '\n'));
                    EXPECT_GE(kept + 1, lines) << where;
                }
            }
        }
    }
}

TEST(DefinitionEditing, KeepsTheEncoding)
{
    const std::string text = "; Zw\xC3\xB6lf \xF0\x9F\x9B\xAB\r\n[Light 1]\r\nPitch=1\r\n";
    const std::string edited = "; Zw\xC3\xB6lf \xF0\x9F\x9B\xAB\r\n[Light 1]\r\nPitch=2\r\n";
    for (const TextEncoding encoding : {TextEncoding::utf8_with_mark, TextEncoding::utf16_little_endian,
                                        TextEncoding::utf16_big_endian}) {
        const std::string bytes = encode_definition_text(text, encoding);
        const DecodedText decoded = decode_definition_bytes(bytes);
        EXPECT_EQ(decoded.text, text);
        EXPECT_EQ(decoded.encoding, encoding);
        EXPECT_EQ(*edit_key(bytes, 1, "Pitch", "2"), encode_definition_text(edited, encoding));
    }
    // Notepad's UTF-16: the mark FF FE, then little-endian units.
    EXPECT_EQ(encode_definition_text("[\xC3\xA9", TextEncoding::utf16_little_endian),
              std::string("\xFF\xFE[\0\xE9\0", 6));
    // UTF-16 that is not cannot be edited.
    EXPECT_FALSE(edit_key(std::string("\xFF\xFE\x00\xD8", 4), 0, "Lights", "1").has_value());
}

// A file without a mark is UTF-8 only when every sequence in it is; any
// other is read byte for byte and said to be no UTF-8.
TEST(DefinitionText, PlainTextIsUtf8OnlyWhenEverySequenceIs)
{
    const struct {
        std::string bytes;
        TextEncoding encoding;
    } cases[] = {
        {"", TextEncoding::plain},
        {"; Zw\xC3\xB6lf \xE2\x82\xAC \xF0\x9F\x9B\xAB \xF4\x8F\xBF\xBF\n", TextEncoding::plain},
        {"; M\xFCller\n", TextEncoding::plain_not_utf8},         // ANSI
        {"; \xC3", TextEncoding::plain_not_utf8},                // cut short at the end
        {"; \xE2\x82x", TextEncoding::plain_not_utf8},          // cut short inside
        {"; \x80", TextEncoding::plain_not_utf8},                // a stray continuation
        {"; \xC0\xAF", TextEncoding::plain_not_utf8},           // longer than needed
        {"; \xE0\x80\xAF", TextEncoding::plain_not_utf8},
        {"; \xF0\x80\x80\xAF", TextEncoding::plain_not_utf8},
        {"; \xED\xA0\x80", TextEncoding::plain_not_utf8},      // a surrogate
        {"; \xF4\x90\x80\x80", TextEncoding::plain_not_utf8},  // beyond U+10FFFF
        {"; \xF5\x80\x80\x80", TextEncoding::plain_not_utf8},
        // Past runs of ASCII, at and across eight-byte boundaries.
        {"; 34567\xC3\xA9 after eight bytes\n", TextEncoding::plain},
        {"; 3456789abcdef\xF0\x9F\x9B\xAB tail", TextEncoding::plain},
        {"; 34567\x80", TextEncoding::plain_not_utf8},                 // the eighth byte
        {"; 345678\xC3", TextEncoding::plain_not_utf8},                // the ninth, cut
        {"; 345678\x80" "ghijklmn", TextEncoding::plain_not_utf8},    // the ninth, eight more behind
        {"; M\xC3\xBCller then ASCII until here\xFC", TextEncoding::plain_not_utf8},
        {"; 3456789abcdef0123456789abcdef\xE2\x82", TextEncoding::plain_not_utf8},
    };
    for (const auto& c : cases) {
        const DecodedText decoded = decode_definition_bytes(c.bytes);
        EXPECT_EQ(decoded.encoding, c.encoding) << c.bytes;
        EXPECT_EQ(decoded.text, c.bytes);
    }
}

// A header names a section only when it is that section's header but for
// the case of letters: no blank, zero or line end more.
TEST(DefinitionText, HeadersNameTheirSectionInAnyCase)
{
    const struct {
        const char* line;
        int section;
    } cases[] = {
        {"[Main]", 0},        {"[mAIN]", 0},        {"[Main] ", NO_SECTION}, {"[Main", NO_SECTION},
        {"[Light 1]", 1},     {"[LIGHT 3]", 3},     {"[light 2]", 2},        {"[Light 4]", NO_SECTION},
        {"[Light 0]", NO_SECTION},  {"[Light 01]", NO_SECTION}, {"[Light 12]", NO_SECTION},
        {"[Light  1]", NO_SECTION}, {"[Light ]", NO_SECTION},   {"[Light 1", NO_SECTION},
        {"[Light 1]]", NO_SECTION}, {"[Lights 1]", NO_SECTION}, {"[Light 1]\r\n", NO_SECTION},
        {"", NO_SECTION},     {"[", NO_SECTION},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(header_section(c.line), c.section) << c.line;
    }
}

TEST(DefinitionEditing, RenamesTheOtherGear)
{
    const std::string nose = "[Main]\r\nNoseGearHeight=-2\r\nnosegeardist=-5 ft\r\nMainGearDist=1\r\n";
    EXPECT_EQ(*rename_other_gear(nose, true),
              "[Main]\r\nTailGearHeight=-2\r\nTailGearDist=-5 ft\r\nMainGearDist=1\r\n");
    EXPECT_EQ(*rename_other_gear(*rename_other_gear(nose, true), false),
              "[Main]\r\nNoseGearHeight=-2\r\nNoseGearDist=-5 ft\r\nMainGearDist=1\r\n");
}

TEST(DefinitionEditing, FitsTheLightSectionsToTheirNumber)
{
    const std::string one = "[Main]\nLights=1\n[Light 1]\nZOffset=1\n";
    EXPECT_EQ(*fit_light_sections(one, 3), one + "\n[Light 2]\n\n[Light 3]\n");
    // Back to one light: the empty sections go, one with a comment stays.
    EXPECT_EQ(*fit_light_sections(one + "\n[Light 2]\n\n[Light 3]\n", 1), one + "\n");
    const std::string commented = one + "[Light 2]\n; spare\n";
    EXPECT_EQ(*fit_light_sections(commented, 1), commented);
}

TEST(DefinitionEditing, SplitsComposesAndConvertsValues)
{
    struct Split {
        const char* value;
        const char* number;
        const char* unit;
    };
    for (const Split& c : std::vector<Split>{{"-230 cm", "-230", "cm"},
                                             {"12FT", "12", "FT"},
                                             {"2.5", "2.5", ""},
                                             {"2.5  ", "2.5", ""},
                                             {"12 ft ", "12 ft ", ""},
                                             {"-2,5", "-2,5", ""},
                                             {"12 feet", "12 feet", ""},
                                             {"two", "two", ""}}) {
        const ValueParts parts = split_value(c.value);
        EXPECT_EQ(parts.number, c.number) << c.value;
        EXPECT_EQ(parts.unit, c.unit) << c.value;
    }
    EXPECT_EQ(compose_value("12", "ft"), "12 ft");
    EXPECT_EQ(compose_value("12", ""), "12");
    EXPECT_EQ(compose_value(" \t", "ft"), "");
    EXPECT_EQ(convert_number("230", "cm", "m"), "2.3");
    EXPECT_EQ(convert_number("2.3", "m", "cm"), "230");
    EXPECT_EQ(convert_number("10", "ft", "in"), "120");
    EXPECT_EQ(convert_number("1", "", "ft"), "3.28084");
    EXPECT_EQ(convert_number("-2,5", "m", "cm"), "-2,5");
}

}  // namespace

}  // namespace lumora

namespace lumora {

namespace {

// The text in Latin-1 (ASCII and ö) as a file of each encoding, built
// byte by byte here.
std::string as_file(const std::string& latin1, const std::string& encoding)
{
    std::string out = encoding == "utf8 bom" ? "\xEF\xBB\xBF" : encoding == "utf16le" ? "\xFF\xFE"
                                                          : encoding == "utf16be" ? "\xFE\xFF"
                                                                                  : "";
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (encoding == "ansi") {
            out += c;
        } else if (encoding == "utf16le") {
            out += c;
            out += '\0';
        } else if (encoding == "utf16be") {
            out += '\0';
            out += c;
        } else if (byte >= 0x80) {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        } else {
            out += c;
        }
    }
    return out;
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    text.replace(text.find(from), from.size(), to);
    return text;
}

}  // namespace

// One change, made in a field or in the text box, leaves every other byte
// of the file as it was: comments in Windows-1252 or UTF-8, the byte-order
// mark, UTF-16 of either order, CR LF or LF line ends.
TEST(DefinitionEditing, OneChangeTouchesThatValueAlone)
{
    for (const std::string encoding : {"ansi", "utf8", "utf8 bom", "utf16le", "utf16be"}) {
        for (const std::string end : {"\r\n", "\n"}) {
            const std::string latin1 = "; H\xF6he der Lampe" + end + "[Main]" + end + "Lights=1" + end + "[Light 1]" +
                                       end + "ZOffset=0.5 m ; H\xF6he" + end + "LatOffset=3" + end;
            const std::string opened = as_file(latin1, encoding);
            const std::string where = encoding + (end == "\n" ? " LF" : " CRLF");

            // A plain field.
            EXPECT_EQ(edit_key(opened, 1, "LatOffset", "4"), as_file(replaced(latin1, "=3", "=4"), encoding)) << where;
            // A field that shows the value whole, comment and all, as UTF-8.
            EXPECT_EQ(edit_key(opened, 1, "ZOffset", "0.6 m ; H\xC3\xB6he"),
                      as_file(replaced(latin1, "0.5", "0.6"), encoding))
                << where;
            // The text box: its text as shown, line ends as line feeds.
            std::string shown = shown_definition_text(opened);
            EXPECT_NE(shown.find("H\xC3\xB6he der"), std::string::npos) << where;
            shown.erase(std::remove(shown.begin(), shown.end(), '\r'), shown.end());
            EXPECT_EQ(replace_definition_text(opened, replaced(shown, "Lights=1", "Lights=2")),
                      as_file(replaced(latin1, "Lights=1", "Lights=2"), encoding))
                << where;
            // A new line in the text box gets the file's line end, its
            // umlaut the file's encoding.
            EXPECT_EQ(replace_definition_text(opened, replaced(shown, "LatOffset=3\n", "LatOffset=3\n; \xC3\xB6\n")),
                      as_file(replaced(latin1, "LatOffset=3" + end, "LatOffset=3" + end + "; \xF6" + end), encoding))
                << where;
        }
    }
}

}  // namespace lumora
