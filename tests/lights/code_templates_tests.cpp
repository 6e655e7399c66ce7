#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "definition/keys.h"
#include "lights/code_templates.h"
#include "lights/light_geometry.h"
#include "tests/support/expected_template.h"

namespace lumora {

namespace {

std::vector<std::uint8_t> bytes_of(const CodeTemplate& t)
{
    return std::vector<std::uint8_t>(t.bytes, t.bytes + t.size);
}

std::vector<std::uint8_t> template_bytes(unsigned n) { return bytes_of(code_template(n)); }

// The template for n lights filled with records.
std::vector<std::uint8_t> filled_bytes(unsigned n, const LightRecord* records)
{
    CodeTemplate block = code_template(n);
    fill_code_template(block, n, records);
    return bytes_of(block);
}

// Compares word by word so that a failure names the offset.
void expect_same_bytes(const std::vector<std::uint8_t>& actual, const std::vector<std::uint8_t>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i + 1 < actual.size(); i += 2) {
        const unsigned got = actual[i] | (actual[i + 1] << 8);
        const unsigned want = expected[i] | (expected[i + 1] << 8);
        EXPECT_EQ(got, want) << "word at offset " << i;
    }
}

LightRecord distinct_record(int light)
{
    LightRecord record{};
    record.beam = {static_cast<std::int16_t>(1000 * light + 1), static_cast<std::int16_t>(-1000 * light - 2),
                   static_cast<std::int16_t>(1000 * light + 3)};
    for (int k = 0; k < 16; ++k) {
        record.outline[k] = {static_cast<std::int16_t>(100 * light + k), static_cast<std::int16_t>(-100 * light - k),
                             static_cast<std::int16_t>(10 * light + k)};
    }
    record.scale = static_cast<std::uint16_t>(7 + light);
    return record;
}

TEST(CodeTemplates, UnfilledTemplatesHoldTheirFixedWords)
{
    for (const TemplateValues& v : TEMPLATE_VALUES) {
        SCOPED_TRACE(v.lights);
        EXPECT_EQ(code_template(v.lights).size, v.size);
        expect_same_bytes(template_bytes(v.lights), expected_template_bytes(v));
    }
}

TEST(CodeTemplates, WorkedExampleLightFillsTheOneLightTemplate)
{
    Definition definition;
    definition.ground.slope = 1.0 / 6.0;
    definition.ground.pitch_deg = 9.462322208025618;  // atan(1/6) in degrees, correctly rounded
    definition.ground.main_gear_height = -2.0;
    definition.ground.main_gear_dist = -1.0;
    DefinitionSection& section = definition.sections[1];
    section.defined = true;
    ASSERT_TRUE(add_entry(section, KeyId::z_offset, "0.5", 0));
    ASSERT_TRUE(add_entry(section, KeyId::lon_offset, "1.5", 0));
    ASSERT_TRUE(add_entry(section, KeyId::lat_offset, "3", 0));
    ASSERT_TRUE(add_entry(section, KeyId::direction, "10", 0));
    definition.light_count = 1;
    MessageLog unheard;
    Diagnostics quiet{unheard, "lights.def"};
    LightSet lights{};
    const Step computed = compute_lights(quiet, definition, lights);
    ASSERT_EQ(computed, Step::done);

    const std::vector<std::uint8_t> bytes = filled_bytes(1, lights.records);

    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 176, bytes.begin() + 182),
              (std::vector<std::uint8_t>{0x87, 0x15, 0x34, 0xE1, 0x19, 0x7A}));
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 196, bytes.begin() + 198),
              (std::vector<std::uint8_t>{0x0C, 0x00}));
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 204, bytes.begin() + 216),
              (std::vector<std::uint8_t>{0x21, 0x00, 0x05, 0x00, 0x10, 0x00, 0xE9, 0xFF, 0x03, 0x00, 0x10, 0x00}));
    // The last outline point, (89, 3, 16), ends the outline at 300.
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 294, bytes.begin() + 300),
              (std::vector<std::uint8_t>{0x59, 0x00, 0x03, 0x00, 0x10, 0x00}));
}

TEST(CodeTemplates, EachLightLandsAtItsOwnOffsetsAndNothingElseChanges)
{
    const LightRecord records[3] = {distinct_record(1), distinct_record(2), distinct_record(3)};
    for (const TemplateValues& v : TEMPLATE_VALUES) {
        SCOPED_TRACE(v.lights);
        const std::vector<std::uint8_t> expected = expected_filled_template(v, records);

        expect_same_bytes(filled_bytes(v.lights, records), expected);
    }
}

TEST(CodeTemplates, FillingWithUnsetRecordsGivesTheUnfilledTemplate)
{
    const LightSet unset{};
    for (const TemplateValues& v : TEMPLATE_VALUES) {
        SCOPED_TRACE(v.lights);
        expect_same_bytes(filled_bytes(v.lights, unset.records), expected_template_bytes(v));
    }
}

// The filling writes only into the block it is given, and only when that
// block has the size of the template for n lights.
TEST(CodeTemplates, FillingTouchesOnlyTheSelectedTemplate)
{
    const LightRecord records[3] = {distinct_record(1), distinct_record(2), distinct_record(3)};
    ASSERT_NE(filled_bytes(2, records), expected_template_bytes(TEMPLATE_VALUES[1]));
    for (const TemplateValues& v : TEMPLATE_VALUES) {
        SCOPED_TRACE(v.lights);
        expect_same_bytes(template_bytes(v.lights), expected_template_bytes(v));
        CodeTemplate other = code_template(v.lights);
        for (unsigned n = 0; n <= 4; ++n) {
            if (n != v.lights) {
                fill_code_template(other, n, records);
            }
        }
        expect_same_bytes(bytes_of(other), expected_template_bytes(v));
    }
    // No template for 0 or 4 lights: an empty block, which no filling writes into.
    EXPECT_EQ(code_template(4).size, 0u);
    CodeTemplate none = code_template(0);
    ASSERT_EQ(none.size, 0u);
    for (unsigned n = 0; n <= 4; ++n) {
        fill_code_template(none, n, records);
    }
    EXPECT_EQ(std::vector<std::uint8_t>(none.bytes, none.bytes + TEMPLATE_SIZE_MAX),
              std::vector<std::uint8_t>(TEMPLATE_SIZE_MAX, 0));
}

}  // namespace

}  // namespace lumora
