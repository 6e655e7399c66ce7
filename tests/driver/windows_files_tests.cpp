// Names and files that Windows treats its own way, checked on every system:
// models with non-ASCII names and one deeper than 260 characters, in place
// and with three names over an existing target, run in the test's process
// (UTF-8 names) and by the program itself (its command line, which Windows
// gives as UTF-16); a target that is a hard link of the
// definition file; a model's name ending in dots or blanks, which Windows
// drops; and standard output without CR LF line ends.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/runner.h"
#include "tests/support/special_files.h"
#include "tests/support/worked_example.h"
#include "tools/mdl_builder/mdl_builder.h"

namespace lumora {

namespace {

namespace fs = std::filesystem;

const Bytes OLD = {'o', 'l', 'd', '\n'};

struct Ran {
    int exit_code;
    std::string output;  // after the banner
};

Ran in_process(const std::vector<std::string>& arguments)
{
    const RunOutcome outcome = run_veska_in_process(arguments);
    return {outcome.exit_code, after_banner(outcome.output)};
}

// The program run as a user runs it; its output read back as bytes.
Ran by_the_program(const std::vector<std::string>& arguments, const std::string& output_file)
{
    const int exit_code = run_program(VESKA_PROGRAM, arguments, output_file);
    return {exit_code, after_banner(read_file_text(output_file))};
}

class WindowsFiles : public ::testing::Test {
protected:
    void SetUp() override { write_file_text(definition_, worked_definition(1)); }

    ScratchDir dir_;
    const Bytes sample_ = mdl_builder::build_sample_mdl();
    const std::string definition_ = dir_.file("lights.cfg");
};

TEST_F(WindowsFiles, UnicodeAndLongNamesInPlaceAndWithThreeNames)
{
    std::string deep = "tief";
    while (deep.size() < 300) {
        deep += "/" + std::string(58, 'o');
    }
    const char* const names[] = {"Flugzeug-\xC3\xBC", "\xE6\xA9\x9F\xE4\xBD\x93", deep.c_str()};
    int round = 0;
    for (const char* name : names) {
        for (const bool program : {false, true}) {
            SCOPED_TRACE(std::string(name).substr(0, 40) + (program ? ", by the program" : ", in process"));
            const std::string folder = dir_.file("round" + std::to_string(++round));
            const std::string model = folder + "/" + name + ".mdl";
            const std::string backup = folder + "/" + name + ".MD$";
            const std::string target = folder + "/" + name + "-lit.mdl";
            fs::create_directories(fs::u8path(model).parent_path());
            write_file_bytes(model, sample_);
            write_file_bytes(target, OLD);
            auto run = [&](const std::vector<std::string>& arguments) {
                return program ? by_the_program(arguments, dir_.file("stdout.txt")) : in_process(arguments);
            };

            const Ran three = run({model, target, definition_});
            EXPECT_EQ(three.exit_code, 0) << three.output;
            EXPECT_TRUE(ends_with(three.output, "MDL file " + target + " with 1 landing light successfully written.\n"))
                << three.output;
            const Bytes lit = read_file_bytes(target);
            EXPECT_EQ(lit.size(), sample_.size());
            EXPECT_NE(lit, sample_);

            const Ran in_place = run({model, definition_});
            EXPECT_EQ(in_place.exit_code, 0) << in_place.output;
            EXPECT_EQ(in_place.output.rfind("Backup MDL file " + backup + " created.\n", 0), 0u) << in_place.output;
            EXPECT_TRUE(ends_with(in_place.output, "MDL file " + model + " with 1 landing light successfully written.\n"))
                << in_place.output;
            EXPECT_EQ(read_file_bytes(backup), sample_);
            EXPECT_EQ(read_file_bytes(model), lit);
            const std::string last = fs::u8path(model).filename().u8string();
            const std::string stem = last.substr(0, last.size() - 4);
            EXPECT_EQ(folder_entries(fs::u8path(model).parent_path().u8string()),
                      (std::vector<std::string>{stem + "-lit.mdl", stem + ".MD$", stem + ".mdl"}));
        }
    }
}

TEST_F(WindowsFiles, ATargetThatIsAHardLinkOfTheDefinitionIsRefused)
{
    const std::string model = dir_.file("plane.mdl");
    const std::string link = dir_.file("\xE6\xA9\x9F\xE4\xBD\x93.mdl");
    write_file_bytes(model, sample_);
    fs::create_hard_link(fs::u8path(definition_), fs::u8path(link));

    const Ran run = in_process({model, link, definition_});
    EXPECT_EQ(run.exit_code, EEXIST);
    EXPECT_TRUE(ends_with(run.output, "Error opening target MDL file " + link + ": " + std::strerror(EEXIST) + "\n"))
        << run.output;
    EXPECT_EQ(read_file_text(definition_), worked_definition(1));
    EXPECT_EQ(read_file_bytes(model), sample_);
}

// What the program prints reaches its standard output byte for byte: line
// ends stay LF, also where the C runtime would write CR LF for text.
TEST_F(WindowsFiles, StandardOutputHasNoCarriageReturns)
{
    const std::string model = dir_.file("plane.mdl");
    write_file_bytes(model, sample_);
    const std::string output_file = dir_.file("stdout.txt");
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{}, std::vector<std::string>{model, definition_}}) {
        const int exit_code = run_program(VESKA_PROGRAM, arguments, output_file);
        EXPECT_EQ(exit_code, arguments.empty() ? 1 : 0);
        const std::string output = read_file_text(output_file);
        EXPECT_NE(output.find('\n'), std::string::npos) << output;
        EXPECT_EQ(output.find('\r'), std::string::npos) << output;
    }
}

// Windows drops the dots and blanks that end a name: the model typed as
// "plane.mdl." is plane.mdl, and its backup is plane.MD$ beside it.
TEST_F(WindowsFiles, TheBackupOfANameEndingInDotsOrBlanksIsThatOfTheFileReached)
{
#ifndef _WIN32
    GTEST_SKIP() << "only Windows reads such a name as another";
#endif
    const std::string model = dir_.file("plane.mdl");
    const std::string backup = dir_.file("plane.MD$");
    for (const char* ending : {".", " ", ". .", "..."}) {
        SCOPED_TRACE(std::string("\"") + ending + "\"");
        std::error_code ignored;
        fs::remove(fs::u8path(backup), ignored);
        write_file_bytes(model, sample_);
        const Ran run = in_process({model + ending, definition_});
        EXPECT_EQ(run.exit_code, 0) << run.output;
        EXPECT_EQ(run.output.rfind("Backup MDL file " + backup + " created.\n", 0), 0u) << run.output;
        EXPECT_EQ(read_file_bytes(backup), sample_);
        EXPECT_NE(read_file_bytes(model), sample_);
        EXPECT_EQ(folder_entries(dir_.path()), (std::vector<std::string>{"lights.cfg", "plane.MD$", "plane.mdl"}));
    }
}

}  // namespace

}  // namespace lumora
