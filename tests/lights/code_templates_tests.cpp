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

namespace {

// The values in which the three templates differ.
struct TemplateValues {
    unsigned lights;
    unsigned size;
    std::uint16_t transfers[4];  // distances at 56, 118, 140 and 162
    std::vector<std::uint16_t> entry_distances;
    std::vector<unsigned> beams_at;
    std::vector<unsigned> scales_at;
    std::vector<unsigned> outlines_at;
};

const TemplateValues VALUES[3] = {
    {1, 364, {436, 374, 352, 330}, {14}, {176}, {196}, {204}},
    {2, 540, {612, 550, 528, 506}, {26, 178}, {176, 188}, {208, 372}, {216, 380}},
    {3, 716, {788, 726, 704, 682}, {38, 190, 342}, {176, 188, 200}, {220, 384, 548}, {228, 392, 556}},
};

// The unfilled template, word by word.
std::vector<std::uint16_t> expected_words(const TemplateValues& v)
{
    std::vector<std::uint16_t> w = {
        0x0076, 0x003A, 60, 0, 0, 0, 0x0004, 0x008E, 100,                          // 0, 2, 12, 14
        0x0039, 46, 0x0068, 0x8002, 0x0023, 100, 0x0023, 140,                      // 18, 26, 30
        0x003A, 28, 0, 0, 0, 0x0004, 0x0034, 16, 0, 0, 7,                          // 34, 44, 46
        0x003B, v.transfers[0], 0x001C, 0x0022,                                    // 56, 62
        0x0039, 14, 0x0068, 0x0010, 0x0023, 98, 0x0022,                            // 64, 72, 76
        0x0039, 14, 0x0068, 0x0008, 0x0023, 62, 0x0022,                            // 78, 86, 90
        0x0023, 78, 0x003A, 28, 0, 0, 0, 0x0004, 0x0034, 16, 0, 0, 7,              // 92, 96, 106, 108
        0x003B, v.transfers[1], 0x001C, 0x0022,                                    // 118, 124
        0x0040, 0x0004, 0x0034, 16, 0, 0, 7, 0x0041, v.transfers[2], 0x001C, 0x0022,  // 126 .. 146
        0x0040, 0x0004, 0x0034, 16, 0, 0, 7, 0x0041, v.transfers[3], 0x001C, 0x0022,  // 148 .. 168
    };
    for (std::uint16_t distance : v.entry_distances) {
        w.insert(w.end(), {0x004A, distance, 0x001C, 0, 0, 0});
    }
    w.push_back(0x0022);
    for (unsigned i = 0; i < v.lights; ++i) {
        w.insert(w.end(), {0x0040, 0x0004, 0x0034, 158, 0, 0, 13, 0x001A, 0, 16});
        w.insert(w.end(), 48, 0);
        w.insert(w.end(), {0x003E, 16, 0, 0x7FFF, 0, 0, 0});
        for (std::uint16_t k = 0; k < 16; ++k) {
            w.push_back(k);
        }
        w.push_back(0x0022);
    }
    w.insert(w.end(), {0x0013, 9, 7, 7, 25, 31, 0xFFF9, 0xFFF8});
    return w;
}

std::vector<std::uint8_t> expected_bytes(const TemplateValues& v)
{
    std::vector<std::uint8_t> bytes;
    for (std::uint16_t word : expected_words(v)) {
        bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(word >> 8));
    }
    return bytes;
}

std::vector<std::uint8_t> template_bytes(unsigned n)
{
    const CodeTemplate& t = code_template(n);
    return std::vector<std::uint8_t>(t.bytes, t.bytes + t.size);
}

void put_word(std::vector<std::uint8_t>& bytes, unsigned offset, int value)
{
    const auto word = static_cast<std::uint16_t>(value & 0xFFFF);
    bytes.at(offset) = static_cast<std::uint8_t>(word & 0xFF);
    bytes.at(offset + 1) = static_cast<std::uint8_t>(word >> 8);
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
    for (const TemplateValues& v : VALUES) {
        SCOPED_TRACE(v.lights);
        EXPECT_EQ(code_template(v.lights).size, v.size);
        expect_same_bytes(template_bytes(v.lights), expected_bytes(v));
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
    for (const TemplateValues& v : VALUES) {
        SCOPED_TRACE(v.lights);
        std::vector<std::uint8_t> expected = expected_bytes(v);
        for (unsigned i = 0; i < v.lights; ++i) {
            const LightRecord r = distinct_record(static_cast<int>(i) + 1);
            put_word(expected, v.beams_at[i], r.beam.x);
            put_word(expected, v.beams_at[i] + 2, r.beam.y);
            put_word(expected, v.beams_at[i] + 4, r.beam.z);
            put_word(expected, v.scales_at[i], r.scale);
            for (unsigned k = 0; k < 16; ++k) {
                put_word(expected, v.outlines_at[i] + 6 * k, r.outline[k].x);
                put_word(expected, v.outlines_at[i] + 6 * k + 2, r.outline[k].y);
                put_word(expected, v.outlines_at[i] + 6 * k + 4, r.outline[k].z);
            }
        }

        fill_code_template(v.lights);

        expect_same_bytes(template_bytes(v.lights), expected);
    }
}

TEST_F(CodeTemplates, FillingWithUnsetRecordsGivesTheUnfilledTemplate)
{
    for (const TemplateValues& v : VALUES) {
        fill_code_template(v.lights);
        expect_same_bytes(template_bytes(v.lights), expected_bytes(v));
    }
}

TEST_F(CodeTemplates, FillingTouchesOnlyTheSelectedTemplateAndResetUndoesIt)
{
    for (int light = 1; light <= 3; ++light) {
        light_records[light - 1] = distinct_record(light);
    }
    fill_code_template(2);
    expect_same_bytes(template_bytes(1), expected_bytes(VALUES[0]));
    expect_same_bytes(template_bytes(3), expected_bytes(VALUES[2]));
    ASSERT_NE(template_bytes(2), expected_bytes(VALUES[1]));

    reset_program_state();

    EXPECT_EQ(light_records[1].scale, 13);
    EXPECT_EQ(light_records[1].outline[5].x, 0);
    expect_same_bytes(template_bytes(2), expected_bytes(VALUES[1]));
}

}  // namespace
