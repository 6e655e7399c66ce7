// --check: veska's own messages unchanged, a hint under each, the notes on
// values veska accepts, and a last line that agrees with what veska does;
// and the same notes in the preview's legend.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "tests/support/svg_text.h"
#include "tests/support/files.h"
#include "tests/support/runner.h"
#include "tests/support/worked_example.h"
#include "tools/mdl_builder/mdl_builder.h"

namespace lumora {

namespace {

const std::string MAIN = "[Main]\nLights=1\nMainGearHeight=-2\nMainGearDist=-1\nTailGearHeight=-0.5\nTailGearDist=8\n";
const std::string LIGHT = "[Light 1]\nZOffset=0.5\nLonOffset=1.5\nSpotDepth=20\n";  // lines 7 to 10

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    text.replace(text.find(from), from.size(), to);
    return text;
}

// Every "{file}" in text replaced by name.
std::string with_name(std::string text, const std::string& name)
{
    for (std::size_t at = text.find("{file}"); at != std::string::npos; at = text.find("{file}", at + name.size())) {
        text.replace(at, 6, name);
    }
    return text;
}

// What --check printed, less its hints, its notes and its last line: the
// lines that are veska's own.
std::string veska_lines_of(const std::string& check)
{
    std::string lines;
    bool in_note = false;
    std::size_t start = 0;
    const std::size_t last = check.rfind('\n', check.size() - 2) + 1;
    while (start < last) {
        const std::size_t end = check.find('\n', start) + 1;
        const std::string line = check.substr(start, end - start);
        in_note = line.rfind("Note in ", 0) == 0 || (in_note && line.rfind("    ", 0) == 0);
        const bool own = line.rfind("The file was read as ", 0) == 0 || line.find("]: lit area ") != std::string::npos ||
                         line.find("]: no lit area") != std::string::npos;
        if (!in_note && !own && line.rfind("    ", 0) != 0) {
            lines += line;
        }
        start = end;
    }
    return lines;
}

class Check : public ::testing::Test {
protected:
    Check() { write_file_bytes(model_, mdl_builder::build_sample_mdl()); }

    ScratchDir dir_;
    std::string model_ = dir_.file("plane.mdl");
    std::string definition_ = dir_.file("lights.cfg");
};

TEST_F(Check, VeskasMessagesWithAHintEachAndTheNotes)
{
    struct Case {
        const char* name;
        std::string definition;
        std::string expected;  // a message and its hint, or a note and its hint; empty: no hint, no note at all
    };
    const Case cases[] = {
        {"a clean file", MAIN + LIGHT, ""},
        // The rest of a line longer than 255 characters is read as a line of
        // its own: its message says what it is.
        {"a comment longer than 255 characters", MAIN + LIGHT + "; " + std::string(300, 'x') + "\n",
         "Error in {file}, line 12: Name=" + std::string(47, 'x') +
             "\n, NO VALUE given.\n"
             "    This is the rest of line 11, longer than 255 characters, which veska reads in pieces: shorten "
             "line 11.\n"},
        {"blanks around =", replaced(MAIN, "Lights=1", "Lights = 1") + LIGHT,
         "Error in {file}, line 2: Unrecognised name=Lights \n    Remove the blanks around the =: write Lights=1.\n"},
        {"an indented setting", MAIN + LIGHT + "  Direction=5\n",
         "Note in {file}, line 11: this line begins with a blank, so veska ignores it.\n"
         "    Remove the blanks at its start if it is meant to count.\n"},
        {"a setting behind a lone carriage return", MAIN + LIGHT + "LatOffset=3\rzoffset=0.5\r\n",
         "Note in {file}, line 11: a carriage return hides zoffset from veska, which reads this line only up to it.\n"
         "    Put each setting on a line of its own, ended by a line feed.\n"},
        {"a setting behind a zero byte", MAIN + LIGHT + std::string("LatOffset=3\0MaxRange=30\n", 25),
         "Note in {file}, line 11: a zero byte hides MaxRange from veska, which reads this line only up to it.\n"
         "    Put each setting on a line of its own, ended by a line feed.\n"},
        {"a comment after Lights", replaced(MAIN, "Lights=1", "Lights=1 ; one light") + LIGHT,
         "Warning in {file}: No unit of measurement expected in line 2.\n"
         "    Move the comment \"; one light\" to a line of its own: write Lights=1.\n"},
        {"a unit after Direction", MAIN + LIGHT + "Direction=10 deg\n",
         "Warning in {file}: No unit of measurement expected in line 11.\n"
         "    Direction is in degrees, without a unit: write Direction=10.\n"},
        {"a comment after a length", MAIN + LIGHT + "LatOffset=3 ; left\n",
         "Error in {file}: Invalid unit of measurement specification '3 ; left' in line 11.\n"
         "    Move the comment \"; left\" to a line of its own: write LatOffset=3.\n"},
        {"a decimal comma", replaced(MAIN, "MainGearHeight=-2", "MainGearHeight=-2,5") + LIGHT,
         "Error in {file}: Invalid unit of measurement specification '-2,5' in line 3.\n"
         "    Use a decimal point: MainGearHeight=-2.5.\n"},
        {"an unknown unit", replaced(MAIN, "MainGearHeight=-2", "MainGearHeight=-2 metres") + LIGHT,
         "Error in {file}: Invalid unit of measurement specification '-2 metres' in line 3.\n"
         "    Units are in, ft, cm and m (none: metres): write MainGearHeight=-2 m.\n"},
        {"an unknown name", MAIN + LIGHT + "LatOfset=3\n",
         "Error in {file}, line 11: Unrecognised name=LatOfset\n"
         "    Did you mean LatOffset? Names here: Pitch, Direction, LatOffset, LonOffset, ZOffset, MaxRange, "
         "SpotWidth, SpotDepth.\n"},
        {"a name of the other section", replaced(MAIN, "Lights=1\n", "Lights=1\nTailGerDist=8\n") + LIGHT,
         "Error in {file}, line 3: Unrecognised name=TailGerDist\n"
         "    Did you mean TailGearDist? Names here: Lights, NoseGearDist, NoseGearHeight, TailGearDist, "
         "TailGearHeight, MainGearDist, MainGearHeight.\n"},
        {"a [Main] key in a light", MAIN + LIGHT + "Lights=2\n",
         "Error in {file}, line 11: Unrecognised name=Lights\n    Lights belongs in [Main], not in [Light 1].\n"},
        {"a line without =", MAIN + LIGHT + "Direction 10\n",
         "Error in {file}, line 11: Name=Direction 10\n, NO VALUE given.\n"
         "    Put = between name and value: Direction=10.\n"},
        {"no value", MAIN + LIGHT + "Pitch=\n",
         "Error in {file}, line 11: Name=Pitch, NO VALUE given.\n"
         "    Give Pitch a value after the =, or delete the line.\n"},
        {"tail and nose gear keys", MAIN + "NoseGearHeight=-1\n" + LIGHT,
         "Error in {file}, line 7: Duplicate definition: Name=NoseGearHeight\n"
         "    TailGearHeight in line 5 already set this: keep TailGear... or NoseGear... keys, not both.\n"},
        {"a key twice", MAIN + LIGHT + "zoffset=1\n",
         "Error in {file}, line 11: Duplicate definition: Name=zoffset\n"
         "    Already set in line 8, and veska uses that one: delete one of the two lines.\n"},
        {"one gear key missing", replaced(MAIN, "TailGearDist=8\n", "") + LIGHT,
         "Info in {file}: Not all gear positions/heights specified, zero ground pitch assumed.\n"
         "    Missing: TailGearDist; add it for the ground pitch.\n"},
        {"the other gear's keys for two gears", replaced(MAIN, "TailGearDist", "NoseGearDist") + LIGHT,
         "Note in {file}, line 6: TailGearHeight (line 5) and NoseGearDist are taken as one gear.\n"
         "    Name the other gear's keys alike: TailGearHeight and TailGearDist, or NoseGearHeight and "
         "NoseGearDist.\n"},
        {"gears in one place", replaced(MAIN, "TailGearDist=8", "TailGearDist=-1") + LIGHT,
         "Warning in {file}: Gear distance too small, zero ground pitch assumed.\n"
         "    MainGearDist (-1 m) and TailGearDist (-1 m) must differ: they place the two gears along the "
         "aircraft.\n"},
        {"a header without its blank", MAIN + replaced(LIGHT, "[Light 1]", "[Light1]"),
         "Error in {file}, line 7: Unrecognised section: [Light1]\n"
         "    Write the header exactly [Light 1]; veska reads no further.\n"},
        {"a comment behind a header", MAIN + replaced(LIGHT, "[Light 1]", "[Light 1] ; x"),
         "Error in {file}, line 7: Unrecognised section: [Light 1] ; x\n"
         "    Write the line as [Light 1] alone, the comment on a line of its own; veska reads no further.\n"},
        // The lines past it get no note either.
        {"a fourth light", MAIN + LIGHT + "[Light 4]\n  Direction=5\n",
         "Error in {file}, line 11: Unrecognised section: [Light 4]\n"
         "    There are only [Light 1] to [Light 3]; veska reads no further.\nThe file was read as "},
        {"a light section missing", replaced(MAIN, "Lights=1", "Lights=2") + LIGHT,
         "Error in {file}: [Light 2] not specified in definition file.\n"
         "    Lights=2 asks for a [Light 2] section: add it, or lower Lights.\n"},
        {"a light section too many", MAIN + LIGHT + replaced(LIGHT, "[Light 1]", "[Light 2]"),
         "Warning in {file}, line 11: This section is not expected as \"Lights=1\" only was specified.\n"
         "    veska ignores this section: raise Lights to 2, or delete the section.\n"},
        {"a section twice", MAIN + LIGHT + "[Light 1]\nPitch=3\n",
         "Error in {file}, line 11: Section [Light 1] defined already.\n"
         "    The first [Light 1] is in line 7; veska skips this one: move its lines there.\n"},
        {"no Lights", replaced(MAIN, "Lights=1\n", "") + LIGHT,
         "Error in {file}: Required parameter \"Lights=n\" was not specified.\n"
         "    Add Lights=1 under [Main]: the number of [Light n] sections, 1 to 3.\n"},
        {"no [Main]", LIGHT,
         "Error in {file}: Invalid number of lights: 0\n"
         "    Add a [Main] section with Lights=1, 2 or 3 at the top of the file.\n"},
        {"MaxRange zero", MAIN + LIGHT + "MaxRange=0\n",
         "Error in {file}: [Light 1]: beam geometry cannot be computed from these values.\n"
         "    MaxRange is 0: give the distance ahead where the beam meets the ground, e.g. MaxRange=30.\n"},
        {"MaxRange below zero", MAIN + LIGHT + "MaxRange=-30\n",
         "Note in {file}, line 11: [Light 1]: MaxRange is -30 m, not above zero.\n"
         "    MaxRange is how far ahead the beam meets the ground: give it above zero, e.g. MaxRange=30.\n"},
        {"SpotWidth below zero", MAIN + LIGHT + "SpotWidth=-5\n",
         "Note in {file}, line 11: [Light 1]: SpotWidth is -5 m, not above zero.\n"
         "    SpotWidth is the width of the lit spot: give it above zero, e.g. SpotWidth=20.\n"},
        {"SpotDepth zero", replaced(MAIN + LIGHT, "SpotDepth=20", "SpotDepth=0"),
         "Note in {file}, line 10: [Light 1]: SpotDepth is 0 m, not above zero.\n"
         "    SpotDepth is the depth of the lit spot along the ground: give it above zero and below MaxRange.\n"},
        {"Direction backwards", MAIN + LIGHT + "Direction=200\n",
         "Note in {file}, line 11: [Light 1]: Direction is 200 degrees: the beam points backwards.\n"
         "    Direction turns the beam sideways from straight ahead (0): use -90 to 90.\n"},
        // The ground line lies 2 m + (1.5 - 1) / 6 m below the model's origin at the light.
        {"a light under the ground", replaced(MAIN + LIGHT, "ZOffset=0.5", "ZOffset=-3"),
         "Note in {file}, line 8: [Light 1]: the light is 0.92 m below the ground line.\n"
         "    Raise ZOffset (the light's height, up positive) or check the gear heights.\n"},
        {"a beam aimed for another attitude", MAIN + LIGHT + "Pitch=-20\n",
         "Note in {file}, line 11: [Light 1]: with the aircraft on its gear the beam points level or up and lights "
         "no ground.\n"
         "    Pitch aims the beam for another attitude: raise it, or leave it out to aim for the ground pitch.\n"},
        {"the file cannot be opened", "",
         "Error opening definition file {file}: No such file or directory\n"
         "    Check the file's name and folder, and that it may be read.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write_file_text(definition_, c.definition);
        const std::string name = definition_ + (c.definition.empty() ? ".none" : "");
        const RunOutcome veska = run_veska_in_process({model_, dir_.file("lit.mdl"), name});
        const RunOutcome check = run_inspect_in_process({"--check", name});

        // veska's lines, unchanged and in its order; the last line agrees
        // with what veska did.
        std::string veska_lines = after_banner(veska.output);
        veska_lines = veska_lines.substr(0, veska_lines.rfind("MDL file "));
        EXPECT_EQ(veska_lines_of(check.output), veska_lines);
        const std::size_t last = check.output.rfind('\n', check.output.size() - 2) + 1;
        EXPECT_EQ(check.output.substr(last).rfind(veska.exit_code == 0 ? "veska would write a model with this file"
                                                                       : "veska would not write a model with this file",
                                                  0),
                  0u)
            << check.output;
        EXPECT_EQ(check.exit_code, veska.exit_code == 0 ? 0 : 1);

        const std::string expected = with_name(c.expected, name);
        if (expected.empty()) {
            EXPECT_EQ(check.output.find("\n    "), std::string::npos) << check.output;
            EXPECT_EQ(check.output.find("Note in "), std::string::npos) << check.output;
        } else {
            EXPECT_NE(check.output.find(expected), std::string::npos) << check.output;
        }
    }
}

TEST_F(Check, CountsTheErrorsAndEndsAMessageThatHasNoLineEnd)
{
    // The last line, outside any section, is printed as it stands.
    write_file_text(definition_, "Lights=1");
    const RunOutcome check = run_inspect_in_process({"--check", definition_});
    EXPECT_EQ(check.exit_code, 1);
    EXPECT_EQ(check.output, with_name("Error in {file}, line 1: Unrecognised: Lights=1\n"
                                      "    Settings belong under a section header: put it below [Main] or [Light n].\n"
                                      "Error in {file}: Invalid number of lights: 0\n"
                                      "    Add a [Main] section with Lights=1, 2 or 3 at the top of the file.\n"
                                      "The file was read as plain text (ASCII or UTF-8, without a byte-order mark).\n"
                                      "veska would not write a model with this file: it has 2 errors.\n",
                                      definition_));
}

// A definition file as editors save it: with a byte-order mark, or as
// UTF-16 of either byte order with CR LF line ends, is read as the text it
// holds; both programs do the same with it as with the plain file, and
// --check says how it read it. A file that claims UTF-16 but is none is not
// read at all.
TEST_F(Check, DefinitionFilesInEveryEncodingAnEditorSaves)
{
    const std::string plain = worked_definition(1);
    std::string crlf;
    for (const char c : plain) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    const auto utf16 = [](const std::string& text, bool little) {
        std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
        for (const char c : text) {
            bytes += little ? std::string(1, c) + '\0' : std::string(1, '\0') + c;
        }
        return bytes;
    };
    const std::string lit = dir_.file("lit.mdl");
    ASSERT_EQ(run_veska_in_process({model_, lit, definition_ + ".plain"}).exit_code, 1);
    write_file_text(definition_, plain);
    ASSERT_EQ(run_veska_in_process({model_, lit, definition_}).exit_code, 0);
    const Bytes expected = read_file_bytes(lit);
    const std::string plain_check = run_inspect_in_process({"--check", definition_}).output;
    const struct {
        const char* name;
        std::string bytes;
        const char* read_as;
    } cases[] = {
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + plain, "UTF-8; its byte-order mark was skipped"},
        {"UTF-16 little-endian, CR LF", utf16(crlf, true),
         "UTF-16 little-endian text (what editors save as \"Unicode\"), converted to UTF-8"},
        {"UTF-16 big-endian, CR LF", utf16(crlf, false),
         "UTF-16 big-endian text (what editors save as \"Unicode big endian\"), converted to UTF-8"},
        {"ANSI, a comment with an umlaut", "; M\xFCller's Cub\r\n" + crlf,
         "plain text with bytes that are not UTF-8, such as ANSI from Notepad; kept as they are"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        write_file_bytes(definition_, Bytes(c.bytes.begin(), c.bytes.end()));
        std::filesystem::remove(lit);
        const RunOutcome veska = run_veska_in_process({model_, lit, definition_});
        EXPECT_EQ(veska.exit_code, 0) << veska.output;
        EXPECT_EQ(read_file_bytes(lit), expected);
        const RunOutcome check = run_inspect_in_process({"--check", definition_});
        EXPECT_EQ(check.exit_code, 0);
        EXPECT_NE(check.output.find(std::string("The file was read as ") + c.read_as + ".\n"), std::string::npos)
            << check.output;
        EXPECT_EQ(veska_lines_of(check.output), veska_lines_of(plain_check));
    }

    // An odd number of bytes, and a lone surrogate.
    for (const std::string& bytes : {utf16(plain, true) + "x", utf16("[Main]", true) + std::string("\x00\xD8", 2) + utf16("x", true).substr(2)}) {
        write_file_bytes(definition_, Bytes(bytes.begin(), bytes.end()));
        const std::string error = "Error reading definition file " + definition_ + ": " + std::strerror(EILSEQ) + "\n";
        const RunOutcome veska = run_veska_in_process({model_, lit, definition_});
        EXPECT_EQ(veska.exit_code, 1);
        EXPECT_EQ(after_banner(veska.output), error);
        const RunOutcome check = run_inspect_in_process({"--check", definition_});
        EXPECT_EQ(check.exit_code, 1);
        EXPECT_EQ(check.output, error +
                                    "    The file begins as UTF-16 text but is not UTF-16 to its end: save it again, as "
                                    "UTF-8.\n"
                                    "veska would not write a model with this file: it has 1 error.\n");
    }
}

// With the defaults SpotDepth 40 and MaxRange 30 the lit area reaches about
// 10 m back behind the light; the preview's legend says the same as --check.
TEST_F(Check, TheLitAreaReachingBackInCheckAndInTheLegend)
{
    const std::string svg = dir_.file("lights.svg");
    for (const bool reaches_back : {true, false}) {
        SCOPED_TRACE(reaches_back);
        write_file_text(definition_, worked_definition(1) + (reaches_back ? "" : "SpotDepth=20\n"));
        const std::string check = run_inspect_in_process({"--check", definition_}).output;
        ASSERT_EQ(run_inspect_in_process({"--preview", definition_, svg}).exit_code, 0);
        const std::string picture = read_file_text(svg);
        const std::size_t note = check.find("Note in " + definition_ + ": ");
        ASSERT_EQ(note != std::string::npos, reaches_back) << check;
        EXPECT_EQ(picture.find("class=\"legend-note\"") != std::string::npos, reaches_back);
        if (!reaches_back) {
            continue;
        }
        const std::size_t text_at = note + definition_.size() + 10;
        const std::string text = check.substr(text_at, check.find('\n', text_at) - text_at);
        const char prefix[] = "[Light 1]: the lit area reaches ";
        ASSERT_EQ(text.rfind(prefix, 0), 0u) << text;
        const double metres = std::strtod(text.c_str() + sizeof prefix - 1, nullptr);
        EXPECT_GT(metres, 9.0);
        EXPECT_LT(metres, 12.0);
        EXPECT_NE(text.find(" m back past the light (SpotDepth 40 m, the aim point 30 m ahead)."), std::string::npos);
        EXPECT_EQ(lines_of_class(picture, "legend-note"), "Note: " + text);
    }
}

// A file veska would write whose lights light no ground: the last line
// says so and names them; the exit code stays veska's.
TEST_F(Check, TheVerdictNamesTheLightsThatLightNoGround)
{
    const struct {
        std::string lights;
        const char* verdict;
    } cases[] = {
        {"[Light 1]\nZOffset=0.5\n", "veska would write a model with this file.\n"},
        {"[Light 1]\nPitch=-30\nZOffset=0.5\n", "veska would write a model with this file, but Light 1 lights no ground.\n"},
        {"[Light 1]\nZOffset=0.5\n[Light 2]\nZOffset=-9\n[Light 3]\nPitch=-40\n",
         "veska would write a model with this file, but Light 2 and Light 3 light no ground.\n"},
    };
    for (const auto& c : cases) {
        const std::string lights = std::to_string(std::count(c.lights.begin(), c.lights.end(), '['));
        write_file_text(definition_, replaced(MAIN, "Lights=1", "Lights=" + lights) + c.lights);
        const RunOutcome check = run_inspect_in_process({"--check", definition_});
        EXPECT_EQ(check.exit_code, 0) << c.lights;
        const std::size_t last = check.output.rfind('\n', check.output.size() - 2) + 1;
        EXPECT_EQ(check.output.substr(last), c.verdict) << check.output;
    }
}

}  // namespace

}  // namespace lumora
