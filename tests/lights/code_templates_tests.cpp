#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "definition/keys.h"
#include "driver/run_state.h"
#include "lights/code_templates.h"
#include "lights/ground_pitch.h"
#include "lights/light_geometry.h"
#include "tests/support/console_capture.h"
#include "tests/support/expected_template.h"

namespace {

std::vector<std::uint8_t> template_bytes(unsigned n)
{
    const CodeTemplate& t = code_template(n);
    return std::vector<std::uint8_t>(t.bytes, t.bytes + t.size);
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

class CodeTemplates : public ::testing::Test {
protected:
    void SetUp() override { reset_program_state(); }
    void TearDown() override { reset_program_state(); }
};

TEST_F(CodeTemplates, UnfilledTemplatesHoldTheirFixedWords)
{
    for (const TemplateValues& v : TEMPLATE_VALUES) {
        SCOPED_TRACE(v.lights);
        EXPECT_EQ(code_template(v.lights).size, v.size);
        expect_same_bytes(template_bytes(v.lights), expected_template_bytes(v));
    }
}

TEST_F(CodeTemplates, WorkedExampleLightFillsTheOneLightTemplate)
{
    ground_geometry.slope = 1.0 / 6.0;
    ground_geometry.pitch_deg = std::atan(1.0 / 6.0) / 3.141592653589793 * 180.0;
    ground_geometry.main_gear_height = -2.0;
    ground_geometry.main_gear_dist = -1.0;
    DefinitionSection& section = run_state.sections[1];
    section.defined = 1;
    add_entry(section, KEY_Z_OFFSET, "0.5");
    add_entry(section, KEY_LON_OFFSET, "1.5");
    add_entry(section, KEY_LAT_OFFSET, "3");
    add_entry(section, KEY_DIRECTION, "10");
    run_state.light_count = 1;
    {
        ConsoleCapture quiet;
        ASSERT_EQ(compute_lights(), 0);
    }

    fill_code_template(1);

    const std::vector<std::uint8_t> bytes = template_bytes(1);
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

TEST_F(CodeTemplates, EachLightLandsAtItsOwnOffsetsAndNothingElseChanges)
{
    for (int light = 1; light <= 3; ++light) {
        light_records[light - 1] = distinct_record(light);
    }
    for (const TemplateValues& v : TEMPLATE_VALUES) {
        SCOPED_TRACE(v.lights);
        LightRecord records[3] = {distinct_record(1), distinct_record(2), distinct_record(3)};
        const std::vector<std::uint8_t> expected = expected_filled_template(v, records);

        fill_code_template(v.lights);

        expect_same_bytes(template_bytes(v.lights), expected);
    }
}

TEST_F(CodeTemplates, FillingWithUnsetRecordsGivesTheUnfilledTemplate)
{
    for (const TemplateValues& v : TEMPLATE_VALUES) {
        fill_code_template(v.lights);
        expect_same_bytes(template_bytes(v.lights), expected_template_bytes(v));
    }
}

TEST_F(CodeTemplates, FillingTouchesOnlyTheSelectedTemplateAndResetUndoesIt)
{
    for (int light = 1; light <= 3; ++light) {
        light_records[light - 1] = distinct_record(light);
    }
    fill_code_template(2);
    expect_same_bytes(template_bytes(1), expected_template_bytes(TEMPLATE_VALUES[0]));
    expect_same_bytes(template_bytes(3), expected_template_bytes(TEMPLATE_VALUES[2]));
    ASSERT_NE(template_bytes(2), expected_template_bytes(TEMPLATE_VALUES[1]));

    reset_program_state();

    EXPECT_EQ(light_records[1].scale, 13);
    EXPECT_EQ(light_records[1].outline[5].x, 0);
    expect_same_bytes(template_bytes(2), expected_template_bytes(TEMPLATE_VALUES[1]));
}

}  // namespace
