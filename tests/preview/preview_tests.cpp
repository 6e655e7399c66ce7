// --preview: the same diagnostics as veska, the geometry of the worked
// example, and the picture's text; the command line of veska-inspect.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "basics/angles.h"
#include "basics/version.h"
#include "definition/reader.h"
#include "inspect/command_line.h"
#include "lights/ground_view.h"
#include "preview/preview_layout.h"
#include "preview/preview_svg.h"
#include "tests/support/console_capture.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/special_files.h"
#include "preview/svg_output.h"
#include "preview/text_fit.h"
#include "lights/light_geometry.h"
#include "tests/support/svg_text.h"
#include "tests/support/files.h"
#include "tests/support/runner.h"
#include "tests/support/worked_example.h"
#include "tools/mdl_builder/mdl_builder.h"

namespace lumora {

namespace {

class Preview : public ::testing::Test {
protected:
    // The geometry of a definition, computed silently as --preview computes
    // it; the ground geometry the program worked out is kept in ground_.
    GroundView geometry_of(const std::string& text)
    {
        write_file_text(definition_, text);
        MessageLog unheard;
        Diagnostics diagnostics{unheard, definition_};
        Definition definition;
        LightSet lights{};
        SystemFileSystem files;
        EXPECT_EQ(read_definition_named(diagnostics, files, definition, definition_), ReadOutcome::read);
        EXPECT_EQ(compute_lights(diagnostics, definition, lights), Step::done);
        ground_ = definition.ground;
        return compute_ground_view(definition.ground, lights, definition.light_count);
    }

    GroundGeometry ground_{};
    ScratchDir dir_;
    std::string definition_ = dir_.file("lights.cfg");
    std::string svg_ = dir_.file("lights.svg");
};

std::string without_last_line(const std::string& text)
{
    const std::size_t end = text.rfind('\n', text.size() - 2);
    return end == std::string::npos ? "" : text.substr(0, end + 1);
}

TEST_F(Preview, PrintsTheDefinitionsMessagesAsVeskaDoes)
{
    const std::string worked = worked_definition(2);
    struct Case {
        const char* name;
        std::string definition;
        bool complete;
        unsigned drawn;  // lights 1 .. drawn are in the picture, whatever veska stopped at
    };
    const Case cases[] = {
        {"two lights", worked, true, 2},
        {"a warning and an info", "[Main]\nLights=1\n[Light 1]\nDirection=3 deg\n", true, 1},
        {"a bad unit", worked + "SpotWidth=3 yd\n", false, 2},
        {"a missing light section", worked_definition(3).substr(0, worked_definition(3).find("[Light 3]")), false, 2},
        {"an unknown section", worked + "[Light 4]\n", false, 2},
        {"an invalid number of lights", "[Main]\nLights=5\n[Light 1]\nZOffset=1\n", false, 0},
        {"no [Main]", "[Light 1]\nZOffset=1\n", false, 1},
        {"a beam that cannot be computed", worked + "MaxRange=0\n", false, 1},
    };
    const std::string model = dir_.file("plane.mdl");
    write_file_bytes(model, mdl_builder::build_sample_mdl());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write_file_text(definition_, c.definition);
        std::string expected = after_banner(run_veska_in_process({model, dir_.file("lit.mdl"), definition_}).output);
        if (expected.rfind("MDL file ") != std::string::npos) {
            expected = without_last_line(expected);
        }
        const RunOutcome r = run_inspect_in_process({"--preview", definition_, svg_});
        EXPECT_EQ(without_last_line(r.output), expected);
        EXPECT_EQ(r.exit_code, c.complete ? 0 : 1);
        const std::string picture = read_file_text(svg_);
        EXPECT_EQ(picture.find("id=\"incomplete\"") == std::string::npos, c.complete);
        EXPECT_EQ(picture.rfind("</svg>\n"), picture.size() - 7);
        for (unsigned n = 1; n <= 3; ++n) {
            const std::string light = "id=\"light-" + std::to_string(n) + "-top\"";
            EXPECT_EQ(picture.find(light) != std::string::npos, n <= c.drawn) << light;
        }
    }
}

TEST_F(Preview, WorkedExampleGroundLineAimPointAndLitArea)
{
    const GroundView g = geometry_of(worked_definition(1));
    // The ground line runs through both contact points at the ground pitch.
    EXPECT_NEAR(ground_height(g, 1.0), -2.0, 1e-12);
    EXPECT_NEAR(ground_height(g, -8.0), -0.5, 1e-12);
    EXPECT_NEAR((ground_height(g, 21.0) - ground_height(g, 1.0)) / 20.0, -ground_.slope, 1e-12);
    EXPECT_NEAR(ground_.slope, 1.0 / 6.0, 1e-12);
    EXPECT_TRUE(g.gear_given);
    EXPECT_TRUE(g.other_gear_is_tail);

    // With the aircraft at the light's pitch, the aim point lies MaxRange
    // ahead of the light and the light's height h below it.
    const LightOnGround& light = g.lights[0];
    ASSERT_TRUE(light.computed);
    const double pitch = 0.16514867741462683;  // atan(1/6)
    const double h = 0.5 + 2.0 + (1.5 - 1.0) / 6.0;
    const double dx = light.aim.x - 3.0;
    const double dy = light.aim.y - 0.5;
    const double dz = light.aim.z - 1.5;
    const double ahead = std::hypot(dx, dz);
    EXPECT_NEAR(ahead * std::cos(pitch) - dy * std::sin(pitch), 30.0, 1e-9);
    EXPECT_NEAR(ahead * std::sin(pitch) + dy * std::cos(pitch), -h, 1e-9);
    EXPECT_NEAR(std::atan2(dx, dz) / PI * 180.0, 10.0, 1e-9);
    EXPECT_NEAR(light.inclination_deg, -14.3840, 1e-4);
    EXPECT_NEAR(light.pitch_deg, 9.4623, 1e-4);

    // The beam meets the ground; the spot outline carried along it lies on
    // the ground with its apex, the light's own point, next to that place.
    ASSERT_TRUE(light.lit);
    EXPECT_NEAR(light.ground_hit.y, ground_height(g, light.ground_hit.z), 1e-9);
    for (const Point3& p : light.lit_area) {
        EXPECT_NEAR(p.y, ground_height(g, p.z), 1e-9);
    }
    EXPECT_LT(std::hypot(light.lit_area[0].x - light.ground_hit.x, light.lit_area[0].z - light.ground_hit.z), 1.0);

    // Straight ahead, the lit area is SpotDepth deep along the ground, within
    // what the outline's units allow.
    std::string straight = worked_definition(1);
    straight.replace(straight.find("Direction=10"), 12, "Direction=0");
    const GroundView s = geometry_of(straight);
    double nearest = s.lights[0].lit_area[0].z;
    double farthest = nearest;
    for (const Point3& p : s.lights[0].lit_area) {
        nearest = std::fmin(nearest, p.z);
        farthest = std::fmax(farthest, p.z);
    }
    EXPECT_NEAR((farthest - nearest) / std::cos(pitch), 40.0, 1.5);

    // A beam aimed above the ground lights none of it.
    const GroundView up = geometry_of(worked_definition(1) + "Pitch=-30\n");
    EXPECT_TRUE(up.lights[0].computed);
    EXPECT_FALSE(up.lights[0].lit);
}

TEST_F(Preview, ThePicturesTextAndGroundLine)
{
    write_file_text(definition_, worked_definition(1));
    const RunOutcome r = run_inspect_in_process({"--preview", definition_, svg_});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.output.substr(r.output.find("Preview")), "Preview of 1 landing light written to " + svg_ + ".\n");
    const std::string svg = read_file_text(svg_);
    EXPECT_NE(svg.find(">Light 1: pitch=9.46 degrees, beam inclination=-14.38 degrees, MaxRange 30 m<"),
              std::string::npos);
    EXPECT_EQ(lines_of_class(svg, "legend-lit-area"),
              "lit area 10.7 m behind to 27.5 m ahead of the light, 5.6 m left to 14.9 m right of the aircraft&apos;s "
              "axis; aim point 29.6 m ahead, 8.1 m right");
    EXPECT_NE(svg.find(">Ground line: ground pitch 9.46 degrees, through the main gear contact point<"),
              std::string::npos);
    // Pixels grow downwards: the ground falling forwards at 1/6 rises at 1/6.
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    const std::size_t line = svg.rfind("<line", svg.find("id=\"ground-line\""));
    ASSERT_EQ(std::sscanf(svg.c_str() + line, "<line x1=\"%lf\" y1=\"%lf\" x2=\"%lf\" y2=\"%lf\"", &x1, &y1, &x2, &y2),
              4);
    EXPECT_NEAR((y2 - y1) / (x2 - x1), 1.0 / 6.0, 1e-3);
}

TEST_F(Preview, FilesThatCannotBeReadOrWritten)
{
    const RunOutcome missing = run_inspect_in_process({"--preview", dir_.file("none.cfg"), svg_});
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_EQ(missing.output, "Error opening definition file " + dir_.file("none.cfg") + ": No such file or directory\n");
    EXPECT_FALSE(file_exists(svg_));

    write_file_text(definition_, worked_definition(1));
    const RunOutcome unwritable = run_inspect_in_process({"--preview", definition_, dir_.path()});
    EXPECT_EQ(unwritable.exit_code, 1);
    EXPECT_EQ(without_last_line(unwritable.output) .find("Ground Pitch"), 0u);
    EXPECT_EQ(unwritable.output.substr(unwritable.output.find("Error")),
              "Error opening preview file " + dir_.path() + ": Is a directory\n");
}

// --before: the earlier file's lights faintly under the new ones, a legend
// line saying so; the rest of the picture as without it. An earlier file
// that cannot be read is said so, and nothing is written.
TEST_F(Preview, BeforeDrawsTheEarlierLightsFaintlyUnderTheNew)
{
    const std::string earlier = dir_.file("earlier.cfg");
    const std::string main = "[Main]\nLights=1\nMainGearHeight=-2\nMainGearDist=-1\nTailGearHeight=-0.5\nTailGearDist=8\n";
    write_file_text(earlier, main + "[Light 1]\nZOffset=0.5\nSpotDepth=15\nLatOffset=-6\n");
    write_file_text(definition_, main + "[Light 1]\nZOffset=0.5\nSpotDepth=15\nLatOffset=2\n");
    ASSERT_EQ(run_inspect_in_process({"--preview", definition_, svg_}).exit_code, 0);
    const std::string alone = read_file_text(svg_);
    const RunOutcome run = run_inspect_in_process({"--preview", definition_, svg_, "--before", earlier});
    EXPECT_EQ(run.exit_code, 0) << run.output;
    const std::string both = read_file_text(svg_);
    EXPECT_EQ(lines_of_class(both, "legend-before"), "faint: the lights as they were before the changes");
    // The faint lights: a group in each view, drawn before the new ones, at
    // 0.3 of the new lights' opacity by their paint (no group opacity).
    for (const std::string view : {"side", "top"}) {
        const std::size_t faint = both.find("id=\"before-light-1-" + view + "\"");
        ASSERT_NE(faint, std::string::npos) << view;
        EXPECT_LT(faint, both.find("id=\"light-1-" + view + "\""));
        EXPECT_NE(both.rfind("<g class=\"before\" fill-opacity=\"0.3\" stroke-opacity=\"0.3\">", faint),
                  std::string::npos);
    }
    EXPECT_EQ(both.find(" opacity="), std::string::npos);
    const std::size_t faint_side = both.find("id=\"before-light-1-side\"");
    EXPECT_NE(both.find("stroke-opacity=\"0.135\"", faint_side), std::string::npos);
    EXPECT_LT(both.find("stroke-opacity=\"0.135\"", faint_side), both.find("id=\"light-1-side\""));
    const std::size_t faint_top = both.find("id=\"before-light-1-top\"");
    EXPECT_LT(both.find("fill-opacity=\"0.075\"", faint_top), both.find("id=\"light-1-top\""));
    // The earlier light stands elsewhere in the top view: its marks differ.
    const auto group = [](const std::string& svg, const std::string& id) {
        const std::size_t at = svg.find("id=\"" + id + "\"");
        return at == std::string::npos ? std::string() : svg.substr(at + id.size() + 6, svg.find("</g>", at) - at);
    };
    EXPECT_NE(group(both, "before-light-1-top"), group(both, "light-1-top"));
    EXPECT_EQ(group(both, "light-1-top"), group(alone, "light-1-top"));
    EXPECT_EQ(alone.find("before"), std::string::npos);

    std::remove(svg_.c_str());
    const RunOutcome missing = run_inspect_in_process({"--preview", definition_, svg_, "--before", dir_.file("none.cfg")});
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_EQ(missing.output, "Error opening definition file " + dir_.file("none.cfg") + ": No such file or directory\n");
    EXPECT_FALSE(file_exists(svg_));
    EXPECT_EQ(run_inspect_in_process({"--preview", definition_, svg_, "--after", earlier}).exit_code, 2);
}

// The picture is written all or nothing: whatever stood at its name stays
// as it was when the write fails, and nothing is removed.
TEST_F(Preview, APictureThatCannotBeWrittenLeavesWhatStoodThere)
{
    const Bytes old = {'o', 'l', 'd', '\n'};
    write_file_text(definition_, worked_definition(1));
    write_file_bytes(svg_, old);
    FaultyFileSystem files(FileFault{FileStep::write, ENOSPC, ""});
    const RunOutcome failed = run_inspect_in_process({"--preview", definition_, svg_}, files);
    EXPECT_EQ(failed.exit_code, 1);
    EXPECT_EQ(failed.output.substr(failed.output.find("Error")),
              "Error writing preview file " + svg_ + ": No space left on device\n");
    EXPECT_EQ(read_file_bytes(svg_), old);

    // A link to a device that refuses the bytes: the link and the device stay.
    const std::string full = full_device();
    const std::string link = dir_.file("full.svg");
    if (full.empty() || !make_symlink(full, link)) {
        std::printf("skipped the full device: the system has none here\n");
    } else {
        const RunOutcome run = run_inspect_in_process({"--preview", definition_, link});
        EXPECT_EQ(run.exit_code, 1);
        EXPECT_EQ(run.output.substr(run.output.find("Error")),
                  "Error writing preview file " + link + ": No space left on device\n");
        EXPECT_TRUE(file_exists(link));
        EXPECT_TRUE(is_special_file(full));
    }
    EXPECT_EQ(folder_entries(dir_.path()).size(), full.empty() ? 2u : 3u);
}

// The number in the attribute name="..." of the element whose other
// attributes include marker, the first one after from.
double attribute_of(const std::string& svg, std::size_t from, const std::string& marker, const std::string& name)
{
    const std::size_t at = svg.find(marker, from);
    if (at == std::string::npos) {
        return -1.0;
    }
    const std::size_t element = svg.rfind('<', at);
    const std::size_t value = svg.find(" " + name + "=\"", element);
    return std::strtod(svg.c_str() + value + name.size() + 3, nullptr);
}

// The top view is seen from above with the nose to the right, so the right
// wing (+x) lies below the aircraft's axis: light 1 (LatOffset 3, Direction
// 10) lies below it and its beam turns further down; light 2 mirrors it.
TEST_F(Preview, TheTopViewShowsTheRightWingBelowTheAxis)
{
    write_file_text(definition_, worked_definition(2));
    ASSERT_EQ(run_inspect_in_process({"--preview", definition_, svg_}).exit_code, 0);
    const std::string picture = read_file_text(svg_);
    EXPECT_EQ(lines_of_class(picture, "x-side"),
              "Above the axis: the left wing&apos;s side (x &lt; 0; LatOffset or Direction negative). Below the axis: "
              "the right wing&apos;s side (x &gt; 0; LatOffset or Direction positive).");
    EXPECT_NE(picture.find(">x: to the right wing (m)<"), std::string::npos);
    const std::size_t top_view = picture.find("clip-path=\"url(#top-clip)\"");
    ASSERT_NE(top_view, std::string::npos);
    const double axis_y = attribute_of(picture, top_view, "class=\"model-axis\"", "y1");
    for (const unsigned light : {1u, 2u}) {
        SCOPED_TRACE(light);
        const std::size_t group = picture.find("id=\"light-" + std::to_string(light) + "-top\"");
        ASSERT_NE(group, std::string::npos);
        const double light_y = attribute_of(picture, group, "class=\"light-position\"", "cy");
        const double aim_y = attribute_of(picture, group, "class=\"aim-point\"", "y1") + 5.0;
        EXPECT_EQ(light_y > axis_y, light == 1) << light_y << " " << axis_y;
        EXPECT_EQ(aim_y > light_y, light == 1) << aim_y << " " << light_y;
    }
}

// A view far longer across than along gives up the common scale as far as
// needed and says so; the other view keeps it.
TEST_F(Preview, AViewTooTallForTheCommonScaleSaysItIsNotToScale)
{
    const struct {
        const char* keys;  // in place of LatOffset=3 and Direction=10
        bool top_to_scale;
    } cases[] = {{"LatOffset=0.5\nDirection=0\nSpotWidth=4", true}, {"LatOffset=300\nDirection=10", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        std::string text = worked_definition(1);
        text.replace(text.find("LatOffset=3\nDirection=10"), 24, c.keys);
        View side{};
        View top{};
        lay_out_views(geometry_of(text), side, top);
        EXPECT_TRUE(to_scale(side));
        EXPECT_EQ(to_scale(top), c.top_to_scale);
        EXPECT_GE(top.width, 420.0);
        EXPECT_LE(top.height, 500.0);
        write_file_text(definition_, text);
        ASSERT_EQ(run_inspect_in_process({"--preview", definition_, svg_}).exit_code, 0);
        const std::string picture = read_file_text(svg_);
        EXPECT_EQ(picture.find(">Top view, from above (not to scale: x drawn ") != std::string::npos,
                  !c.top_to_scale);
        EXPECT_EQ(picture.find("NOT TO SCALE") != std::string::npos, !c.top_to_scale);
    }
}

// Broken lines stay within the width but for a single character, keep words
// whole where they fit, and never split a character of several bytes.
TEST(TextFit, LinesBreakAtBlanksAndWithinTheWidth)
{
    const std::string euro = "\xE2\x82\xAC";
    const struct {
        std::string text;
        double width;
    } cases[] = {
        {"Landing lights of a rather long file name.cfg", 100.0},
        {"nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn", 120.0},
        {euro + euro + euro + euro + euro + euro + " " + euro, 40.0},
        {"one", 1.0},
        {"", 50.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::vector<std::string> lines = wrap_text(c.text, c.width, 12.0, false);
        ASSERT_FALSE(lines.empty());
        std::string joined;
        for (const std::string& line : lines) {
            const unsigned char first = line.empty() ? 0 : static_cast<unsigned char>(line[0]);
            EXPECT_NE(first & 0xC0u, 0x80u) << line;
            EXPECT_TRUE(text_width(line, 12.0, false) <= c.width || line.size() == 1 || line == euro) << line;
            joined += line;
        }
        // Nothing lost but blanks.
        const auto blanks_out = [](std::string text) {
            text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
            return text;
        };
        EXPECT_EQ(blanks_out(joined), blanks_out(c.text));
    }
    EXPECT_EQ(wrap_text("aim point 29.6 m ahead", 80.0, 12.0, false),
              (std::vector<std::string>{"aim point", "29.6 m", "ahead"}));
}

// Tick steps are 1, 2 or 5 times a power of ten, the same on every
// platform, also next to a power of ten; a label shows just enough decimals.
TEST(PreviewLayout, NiceStepsAndTheirDecimals)
{
    const struct {
        double span;
        double count;
        double step;
        int decimals;
    } cases[] = {
        {40.0, 8.0, 5.0, 0},         {1.0, 5.0, 0.2, 1},       {0.5, 5.0, 0.1, 1},
        {0.49999999999999994, 5.0, 0.1, 1}, {3.0, 8.0, 0.5, 1},  {12000.0, 8.0, 2000.0, 0},
        {0.06, 5.0, 0.01, 2},        {0.0, 5.0, 1.0, 0},       {1e-12, 1.0, 1e-12, 9},
    };
    for (const auto& c : cases) {
        const double step = nice_step(c.span, c.count);
        EXPECT_EQ(step, c.step) << c.span;
        const std::string label = tick_label(0.0, step);
        const std::size_t point = label.find('.');
        EXPECT_EQ(point == std::string::npos ? 0 : static_cast<int>(label.size() - point - 1), c.decimals) << c.span;
    }
}

// A pixel coordinate is written as the C library's "%.2f" writes it: ties
// in the exact value (0.125) and near-ties that only the exact value decides
// (2.675 is a hair below), negative zero and what rounds to it, the ends.
TEST(SvgText, PixelsAsPrintfWritesThem)
{
    std::vector<double> values = {0.0,     -0.0,   0.125,  0.375,    -0.625,     2.675, 1.005, 0.005, -0.004,
                                  0.00499, 999999.995, 1e6, -1e6, 123456.785, 0.1,   0.7,   -7.5,  1e-300};
    // Near every half hundredth, a few representable numbers either side.
    for (int n = -3000; n <= 3000; n += 7) {
        double value = (n + 0.5) / 100.0;
        for (int step = 0; step < 3; ++step) {
            value = std::nextafter(value, -1e9);
        }
        for (int step = 0; step < 6; ++step) {
            values.push_back(value);
            value = std::nextafter(value, 1e9);
        }
    }
    // And spread over the range held.
    std::uint64_t seed = 12345;
    for (int n = 0; n < 20000; ++n) {
        seed = seed * 6364136223846793005u + 1442695040888963407u;
        values.push_back((static_cast<double>(seed >> 11) / 9007199254740992.0 - 0.5) * (n % 2 == 0 ? 2e6 : 200.0));
    }
    for (const double value : values) {
        std::string written;
        append_pixel(written, value);
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.2f", value);
        ASSERT_EQ(written, expected) << std::hexfloat << value;
    }
    std::string held;
    append_pixel(held, 5e9);
    append_pixel(held, std::nan(""));
    EXPECT_EQ(held, "1000000.000.00");
}

TEST(SvgText, EscapesMarkupAndKeepsOnlyValidUtf8)
{
    const struct {
        const char* text;
        const char* written;
    } cases[] = {
        {"plain.cfg", "plain.cfg"},
        {"a&b <c> \"d\" 'e'", "a&amp;b &lt;c&gt; &quot;d&quot; &apos;e&apos;"},
        {"tab\there", "tab\xEF\xBF\xBDhere"},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x9B\xAC", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x9B\xAC"},
        {"bad \xC3 end", "bad \xEF\xBF\xBD end"},
        {"overlong \xC0\xAF", "overlong \xEF\xBF\xBD\xEF\xBF\xBD"},
        {"surrogate \xED\xA0\x80", "surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"cut \xE2\x82", "cut \xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        std::string svg;
        write_xml_text(svg, c.text);
        EXPECT_EQ(svg, c.written) << c.text;
    }
}

TEST(CommandLine, HelpVersionAndWhatItDoesNotUnderstand)
{
    const RunOutcome help = run_inspect_in_process({"--help"});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_EQ(help.output.rfind(INSPECT_USAGE_TEXT, 0), 0u);
    EXPECT_NE(help.output.find("--strip MODEL [TARGET]\n      Takes the landing lights"), std::string::npos);
    const RunOutcome version = run_inspect_in_process({"--version"});
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ(version.output, "veska-inspect (Lumora) " LUMORA_VERSION "\n");

    const struct {
        std::vector<std::string> args;
        const char* problem;
    } cases[] = {
        {{}, "no model or command given"},
        {{"--colour", "a.mdl"}, "unknown option: --colour"},
        {{"-x"}, "unknown option: -x"},
        {{"--strip"}, "--strip takes a model and an optional target"},
        {{"--strip", "a", "b", "c"}, "--strip takes a model and an optional target"},
        {{"--preview", "a.cfg"}, "--preview takes a definition file and the picture's name"},
        {{"--check"}, "--check takes a definition file"},
        {{"--check", "a.cfg", "b.cfg"}, "--check takes a definition file"},
        {{"a.mdl", "b.mdl"}, "a report takes one model"},
        {{"--help", "more"}, "unknown option: --help"},
    };
    for (const auto& c : cases) {
        const RunOutcome r = run_inspect_in_process(c.args);
        EXPECT_EQ(r.exit_code, 2);
        EXPECT_EQ(r.output, std::string("veska-inspect: ") + c.problem + "\n" + INSPECT_USAGE_TEXT);
    }
}

}  // namespace

}  // namespace lumora
