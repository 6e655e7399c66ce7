// veska-inspect with a name alone: a text file is checked as a definition
// file (as when it is dropped onto the program), anything else gets the
// report on a model, a damaged or cut-short model too.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "inspect/given_file.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/runner.h"
#include "tests/support/worked_example.h"
#include "tools/mdl_builder/mdl_builder.h"

namespace lumora {

namespace {

using Kind = GivenFileKind;

std::string checked_line(const std::string& name)
{
    return name + " is text, not a model: it is checked as a definition file.\n";
}

// ASCII text as a Notepad "Unicode" file: UTF-16, little-endian, with its mark.
std::string as_utf16(const std::string& ascii)
{
    std::string bytes = "\xFF\xFE";
    for (const char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

TEST(GivenFile, TheStartDecides)
{
    struct Case {
        const char* name;
        std::string start;
        Kind kind;
    };
    const Case cases[] = {
        {"a definition file", "[Main]\nLights=1\n", Kind::definition_text},
        {"CR LF and a comment first", "; lights\r\n[Main]\r\n", Kind::definition_text},
        {"a key indented by a tab", "\tPitch=1\n", Kind::definition_text},
        {"UTF-8 letters", "; H\xC3\xB6he\n", Kind::definition_text},
        {"letters of an 8-bit code page", "; H\xF6he\n", Kind::definition_text},
        {"the end-of-text mark", "[Main]\n\x1A", Kind::definition_text},
        {"a UTF-8 byte-order mark", "\xEF\xBB\xBF[Main]\n", Kind::definition_text},
        {"UTF-16, little-endian", std::string("\xFF\xFE[\0M\0", 6), Kind::definition_text},
        {"UTF-16, big-endian", std::string("\xFE\xFF\0[\0M", 6), Kind::definition_text},
        {"two bytes of text", "[M", Kind::definition_text},
        {"MZ followed by text", "MZ[Main]\n", Kind::model},
        {"only the M of MZ", "M", Kind::model},
        {"one byte of text", "\n", Kind::model},
        {"empty", "", Kind::model},
        {"a zero byte", std::string("[Main]\n\0", 8), Kind::model},
        {"a damaged signature", std::string("ZM\x90\0\x03\0", 6), Kind::model},
        {"a control character", "[Main]\x01\n", Kind::model},
        {"DEL", "[Main]\x7F\n", Kind::model},
        {"a form feed", "[Main]\f\n", Kind::model},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kind_of_start(c.start), c.kind) << c.name;
    }
}

TEST(GivenFile, OnlyTheFirst512BytesOfARegularFileCount)
{
    SystemFileSystem files;
    const ScratchDir dir;
    const std::string name = dir.file("lights.cfg");
    write_file_text(name, std::string(512, ';') + '\0');
    EXPECT_EQ(kind_of_file(files, name), Kind::definition_text);
    write_file_text(name, std::string(511, ';') + '\0');
    EXPECT_EQ(kind_of_file(files, name), Kind::model);
    EXPECT_EQ(kind_of_file(files, dir.path()), Kind::model);
    EXPECT_EQ(kind_of_file(files, dir.file("missing.cfg")), Kind::model);
}

class GivenAlone : public ::testing::Test {
protected:
    ScratchDir dir_;
    const Bytes sample_ = mdl_builder::build_sample_mdl();
};

TEST_F(GivenAlone, ATextFileGetsTheCheckAModelTheReport)
{
    const std::string definition = worked_definition(1);
    Bytes cut(sample_.begin(), sample_.begin() + 100);
    Bytes damaged = sample_;
    damaged[0] = 'X';
    damaged[1] = 'X';
    struct Case {
        const char* name;
        std::string bytes;
        bool text;
        std::string report_line;  // for a model: a line of its report
    };
    const Case cases[] = {
        {"a definition file", definition, true, ""},
        {"one with errors", definition + "LatOfset=3\n", true, ""},
        {"one saved as Unicode", as_utf16(definition), true, ""},
        {"one saved as UTF-8 with its mark", "\xEF\xBB\xBF" + definition, true, ""},
        {"a model", std::string(sample_.begin(), sample_.end()), false, "State: unprocessed"},
        {"a cut-short model", std::string(cut.begin(), cut.end()), false, "Layout: not accepted"},
        {"a model without its signature", std::string(damaged.begin(), damaged.end()), false,
         "(its first word is 0x5858)"},
    };
    const std::string name = dir_.file("given");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write_file_text(name, c.bytes);
        const RunOutcome given = run_inspect_in_process({name});
        if (c.text) {
            const RunOutcome check = run_inspect_in_process({"--check", name});
            EXPECT_EQ(given.output, checked_line(name) + check.output);
            EXPECT_EQ(given.exit_code, check.exit_code);
            EXPECT_NE(check.output.find("veska would"), std::string::npos) << check.output;
        } else {
            EXPECT_EQ(given.output.rfind("Model file: " + name + " (", 0), 0u) << given.output;
            EXPECT_NE(given.output.find(c.report_line), std::string::npos) << given.output;
            EXPECT_EQ(given.exit_code, 0);
        }
    }
}

// The program itself, as a file manager starts it for a file dropped onto
// it: one argument, the file's full name, here in a folder whose name is
// not ASCII. Its redirected output holds the name's UTF-8 bytes, as run in
// the test's process.
TEST_F(GivenAlone, ADroppedDefinitionFileIsCheckedByTheProgram)
{
    const std::string folder = dir_.file("M\xC3\xBCller");
    std::filesystem::create_directory(std::filesystem::u8path(folder));
    const std::string name = folder + "/lights.cfg";
    const std::string output = dir_.file("output.txt");
    for (const std::string& text : {worked_definition(1), worked_definition(2) + "LatOfset=3\n"}) {
        write_file_text(name, text);
        const RunOutcome in_process = run_inspect_in_process({name});
        const int exit_code = run_program(VESKA_INSPECT_PROGRAM, {name}, output);
        EXPECT_EQ(exit_code, in_process.exit_code);
        EXPECT_EQ(read_file_text(output), in_process.output);
        EXPECT_EQ(in_process.output.rfind(checked_line(name), 0), 0u) << in_process.output;
    }
}

}  // namespace

}  // namespace lumora
