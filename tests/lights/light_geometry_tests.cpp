#include <cmath>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "definition/keys.h"
#include "lights/light_geometry.h"
#include "tests/support/console_capture.h"
#include "tests/support/worked_example.h"

namespace lumora {

namespace {

struct Entry {
    KeyId key;
    const char* value;
};

struct Point {
    int x, y, z;
};

// Each test computes its lights from a definition and into a light set of
// its own, printing to a console of its own.
class LightGeometry : public ::testing::Test {
protected:
    // Defines [Light n] with the given entries, one per line from first_line on.
    void define_light(unsigned n, const std::vector<Entry>& entries, unsigned first_line = 10)
    {
        DefinitionSection& section = definition_.sections[n];
        section.defined = true;
        std::uint32_t line = first_line;
        for (const Entry& entry : entries) {
            ASSERT_TRUE(add_entry(section, entry.key, entry.value, line));
            ++line;
        }
    }

    // What compute_ground_pitch leaves for MainGearHeight=-2, TailGearHeight=-0.5,
    // MainGearDist=-1, TailGearDist=8.
    void worked_example_ground()
    {
        GroundGeometry& ground = definition_.ground;
        ground.slope = 1.0 / 6.0;
        ground.pitch_deg = 9.462322208025618;  // atan(1/6) in degrees, correctly rounded
        ground.main_gear_height = -2.0;
        ground.main_gear_dist = -1.0;
    }

    Step compute() { return compute_lights(diagnostics_, definition_, lights_); }

    ConsoleCapture capture_;
    MessagePrinter printer_{capture_.console()};
    Diagnostics diagnostics_{printer_, "lights.def"};
    Definition definition_;
    LightSet lights_{};
};

void expect_outline(const LightRecord& record, const std::vector<Point>& expected)
{
    ASSERT_EQ(expected.size(), OUTLINE_POINTS);
    for (unsigned k = 0; k < OUTLINE_POINTS; ++k) {
        EXPECT_EQ(record.outline[k].x, expected[k].x) << "point " << k;
        EXPECT_EQ(record.outline[k].y, expected[k].y) << "point " << k;
        EXPECT_EQ(record.outline[k].z, expected[k].z) << "point " << k;
    }
}

void expect_beam(const LightRecord& record, int x, int y, int z)
{
    EXPECT_EQ(record.beam.x, x);
    EXPECT_EQ(record.beam.y, y);
    EXPECT_EQ(record.beam.z, z);
}

// LightRecord has no padding, so equal bytes mean equal fields.
static_assert(sizeof(LightRecord) == 2 * (3 + 3 * OUTLINE_POINTS + 1), "LightRecord is packed");
bool same_record(const LightRecord& a, const LightRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

LightRecord sentinel_record()
{
    LightRecord record{};
    record.beam = {111, -222, 333};
    for (int k = 0; k < static_cast<int>(OUTLINE_POINTS); ++k) {
        record.outline[k] = {static_cast<std::int16_t>(k + 1), static_cast<std::int16_t>(-k - 1),
                             static_cast<std::int16_t>(1000 + k)};
    }
    record.scale = 9;
    return record;
}

// The record of a light without keys on an aircraft without gear data.
const std::vector<Point> KEYLESS_OUTLINE = {
    {0, 0, 7240},     {-1810, 0, 7240}, {-2896, 0, 7240}, {-3258, 0, 7240}, {-3620, 0, 7240}, {-3258, 0, 7240},
    {-2534, 0, 7240}, {-1086, 0, 7240}, {0, 0, 7240},     {1086, 0, 7240},  {2534, 0, 7240},  {3258, 0, 7240},
    {3620, 0, 7240},  {3258, 0, 7240},  {2896, 0, 7240},  {1810, 0, 7240},
};
const char* const KEYLESS_LINE = "pitch=0.00 degrees, beam inclination=-0.00 degrees\n";

TEST_F(LightGeometry, WorkedExample)
{
    worked_example_ground();
    define_light(1, {{KeyId::z_offset, "0.5"}, {KeyId::lon_offset, "1.5"}, {KeyId::lat_offset, "3"}, {KeyId::direction, "10"}});
    definition_.light_count = 1;

    EXPECT_EQ(compute(), Step::done);

    EXPECT_EQ(capture_.text(), "[Light 1]: pitch=9.46 degrees, beam inclination=-14.38 degrees\n");
    // Beam (5511, -7884, 31257), scale 12, outline from (33, 5, 16) to (89, 3, 16).
    const LightRecord& record = lights_.records[0];
    const LightRecord expected = worked_record(1);
    expect_beam(record, expected.beam.x, expected.beam.y, expected.beam.z);
    EXPECT_EQ(record.scale, expected.scale);
    std::vector<Point> outline;
    for (const ModelVector& point : expected.outline) {
        outline.push_back({point.x, point.y, point.z});
    }
    expect_outline(record, outline);
    EXPECT_EQ(diagnostics_.error_flag, 0u);
}

TEST_F(LightGeometry, LightWithoutKeysFallsToFinestScale)
{
    define_light(1, {});
    definition_.light_count = 1;

    EXPECT_EQ(compute(), Step::done);

    EXPECT_EQ(capture_.text(), std::string("[Light 1]: ") + KEYLESS_LINE);
    expect_beam(lights_.records[0], 0, 0, 32767);
    EXPECT_EQ(lights_.records[0].scale, 7);
    expect_outline(lights_.records[0], KEYLESS_OUTLINE);
}

TEST_F(LightGeometry, LightBelowGroundLinePointsUpAndDrawsSpotAboveApex)
{
    define_light(1, {{KeyId::pitch, "0"}, {KeyId::z_offset, "-5"}});
    definition_.light_count = 1;

    EXPECT_EQ(compute(), Step::done);

    EXPECT_EQ(capture_.text(), "[Light 1]: pitch=0.00 degrees, beam inclination=9.46 degrees\n");
    const LightRecord& record = lights_.records[0];
    expect_beam(record, 0, 5313, 32321);
    EXPECT_EQ(record.scale, 7);
    EXPECT_EQ(record.outline[0].y, -1810);  // apex at the light's height, -5 m
    EXPECT_EQ(record.outline[8].y, 603);
    for (unsigned k = 0; k < OUTLINE_POINTS; ++k) {
        EXPECT_GE(record.outline[k].y, record.outline[0].y) << "point " << k;
        EXPECT_EQ(record.outline[k].x, KEYLESS_OUTLINE[k].x) << "point " << k;
    }
}

TEST_F(LightGeometry, KeysAreReadInTheirFixedOrder)
{
    // Entries stored in the reverse of the reading order, each with a suffix
    // that draws a message naming its line.
    define_light(1, {{KeyId::lon_offset, "1 xx"},
                     {KeyId::lat_offset, "1 xx"},
                     {KeyId::spot_depth, "1 xx"},
                     {KeyId::spot_width, "1 xx"},
                     {KeyId::direction, "1 xx"},
                     {KeyId::max_range, "1 xx"},
                     {KeyId::z_offset, "1 xx"},
                     {KeyId::pitch, "1 xx"}},
                 1);
    definition_.light_count = 1;

    EXPECT_EQ(compute(), Step::done);

    const std::string bad = "Error in lights.def: Invalid unit of measurement specification '1 xx' in line ";
    EXPECT_EQ(capture_.text(), bad + "8.\n" + bad + "7.\n" + bad + "6.\n" +
                                   "Warning in lights.def: No unit of measurement expected in line 5.\n" + bad +
                                   "4.\n" + bad + "3.\n" + bad + "2.\n" + bad + "1.\n" +
                                   "[Light 1]: pitch=1.00 degrees, beam inclination=-46.00 degrees\n");
    EXPECT_EQ(diagnostics_.error_flag, 1u);
}

TEST_F(LightGeometry, UnitOnPitchScalesSilentlyUnitOnDirectionWarns)
{
    define_light(1, {{KeyId::pitch, "5 cm"}});
    define_light(2, {{KeyId::direction, "5 cm"}}, 20);
    define_light(3, {{KeyId::direction, "5"}}, 30);
    definition_.light_count = 3;

    EXPECT_EQ(compute(), Step::done);

    EXPECT_EQ(capture_.text(), "[Light 1]: pitch=0.05 degrees, beam inclination=-0.05 degrees\n"
                               "Warning in lights.def: No unit of measurement expected in line 20.\n"
                               "[Light 2]: " + std::string(KEYLESS_LINE) + "[Light 3]: " + KEYLESS_LINE);
    EXPECT_NE(lights_.records[1].beam.x, 0);
    EXPECT_TRUE(same_record(lights_.records[1], lights_.records[2]));
    EXPECT_EQ(diagnostics_.error_flag, 0u);
}

TEST_F(LightGeometry, MissingSectionsAreAllReportedAndNothingIsComputed)
{
    define_light(1, {});
    definition_.light_count = 3;

    EXPECT_EQ(compute(), Step::reported);

    EXPECT_EQ(capture_.text(), "Error in lights.def: [Light 2] not specified in definition file.\n"
                               "Error in lights.def: [Light 3] not specified in definition file.\n");
    LightRecord unset{};
    unset.scale = 13;
    EXPECT_TRUE(same_record(lights_.records[0], unset));
    EXPECT_EQ(diagnostics_.error_flag, 1u);
}

TEST_F(LightGeometry, SectionsBeyondTheLightCountAreIgnored)
{
    define_light(1, {});
    define_light(2, {});
    define_light(3, {});
    definition_.light_count = 2;
    lights_.records[2] = sentinel_record();

    EXPECT_EQ(compute(), Step::done);

    EXPECT_EQ(capture_.text(), std::string("[Light 1]: ") + KEYLESS_LINE + "[Light 2]: " + KEYLESS_LINE);
    EXPECT_TRUE(same_record(lights_.records[2], sentinel_record()));
}

TEST_F(LightGeometry, OutlineTermsAreTruncatedSeparatelyAndSumsWrap)
{
    const double u = 0.176775;
    ModelVector outline[OUTLINE_POINTS];
    // Deep enough for the coarsest scale; offsets near the top of the range.
    const std::uint16_t scale = build_spot_outline(outline, 100 * u * 20.5, 100 * u * 2.5, 32000.5 * u,
                                                   32700.5 * u, 40000.5 * u);
    EXPECT_EQ(scale, 13);
    EXPECT_EQ(outline[4].x, 32000 - 1025);
    EXPECT_EQ(outline[12].x, 32000 + 1025 - 65536);
    EXPECT_EQ(outline[0].y, 32700);
    EXPECT_EQ(outline[8].y, 32700 - 250);
    EXPECT_EQ(outline[1].x, 32000 - 512);  // -25 * 20.5 truncates to -512
    EXPECT_EQ(outline[1].y, 32700 - 12);   // -5 * 2.5 truncates to -12
    for (const ModelVector& point : outline) {
        EXPECT_EQ(point.z, 40000 - 65536);
    }
}

// Values that give no finite beam geometry: the light is reported, its record
// and line are left out, and the lights around it are computed as usual.
struct UncomputableCase {
    std::string name;
    std::vector<Entry> entries;
    double ground_slope;  // lights 1 and 3 have no keys, so this sets their line
};

void PrintTo(const UncomputableCase& c, std::ostream* os) { *os << c.name; }

const char* const STEEP_GROUND_LINE = "pitch=0.00 degrees, beam inclination=-53.13 degrees\n";

class UncomputableLight : public LightGeometry, public ::testing::WithParamInterface<UncomputableCase> {};

TEST_P(UncomputableLight, IsReportedAndLeavesItsRecordAlone)
{
    const UncomputableCase& c = GetParam();
    definition_.ground.slope = c.ground_slope;
    define_light(1, {});
    define_light(2, c.entries, 20);
    define_light(3, {});
    definition_.light_count = 3;
    lights_.records[1] = sentinel_record();

    EXPECT_EQ(compute(), Step::done);

    const std::string neighbour_line = c.ground_slope == 0.0 ? KEYLESS_LINE : STEEP_GROUND_LINE;
    EXPECT_EQ(capture_.text(), "[Light 1]: " + neighbour_line +
                                   "Error in lights.def: [Light 2]: beam geometry cannot be computed from these "
                                   "values.\n[Light 3]: " + neighbour_line);
    EXPECT_TRUE(same_record(lights_.records[1], sentinel_record()));
    EXPECT_TRUE(same_record(lights_.records[0], lights_.records[2]));
    EXPECT_NE(lights_.records[0].beam.z, 0);
    EXPECT_EQ(diagnostics_.error_flag, 1u);
}

std::vector<UncomputableCase> uncomputable_cases()
{
    std::vector<UncomputableCase> cases = {
        {"ZeroRangeAtZeroHeight", {{KeyId::max_range, "0"}}, 0.0},
        {"ZeroRangeAboveGround", {{KeyId::max_range, "0"}, {KeyId::z_offset, "1"}}, 0.0},
        {"ZeroRangePitched", {{KeyId::max_range, "0 m"}, {KeyId::z_offset, "1"}, {KeyId::pitch, "3"}}, 0.0},
        // cos P equals h sin P / R exactly: the projected depth divides by zero.
        {"ZeroDenominator", {{KeyId::pitch, "90"}, {KeyId::z_offset, "6.123233995736766e-17"}, {KeyId::max_range, "1"}},
         0.0},
        {"DepthOverflows", {{KeyId::spot_depth, "1e308"}, {KeyId::z_offset, "300"}}, 0.0},
        {"HeightOverflows", {{KeyId::lon_offset, "1e308"}}, 2.0},
        {"ValueOutOfRange", {{KeyId::lat_offset, "1e999"}}, 0.0},
    };
    const struct {
        KeyId key;
        const char* name;
    } keys[] = {{KeyId::pitch, "Pitch"},         {KeyId::z_offset, "ZOffset"},     {KeyId::max_range, "MaxRange"},
                {KeyId::direction, "Direction"}, {KeyId::spot_width, "SpotWidth"}, {KeyId::spot_depth, "SpotDepth"},
                {KeyId::lat_offset, "LatOffset"}, {KeyId::lon_offset, "LonOffset"}};
    const struct {
        const char* text;
        const char* name;
    } values[] = {{"inf", "Inf"}, {"-inf", "MinusInf"}, {"nan", "Nan"}};
    for (const auto& key : keys) {
        for (const auto& value : values) {
            cases.push_back({std::string(key.name) + value.name, {{key.key, value.text}}, 0.0});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(NonFiniteGeometry, UncomputableLight, ::testing::ValuesIn(uncomputable_cases()),
                         [](const ::testing::TestParamInfo<UncomputableCase>& info) {
                             return info.param.name;
                         });

}  // namespace

}  // namespace lumora
