// The help and the version of both programs: recognised only as the sole
// argument (a model of that name is reached as ./--help); the help names the
// manuals as the system keeps them. "/?" is the help on Windows alone
// (windows_console_tests.cpp); elsewhere it is a name like any other.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "basics/version.h"
#include "driver/run.h"
#include "inspect/command_line.h"
#include "platform/help_conventions.h"
#include "tests/support/files.h"
#include "tests/support/runner.h"
#include "tests/support/worked_example.h"
#include "tools/mdl_builder/mdl_builder.h"

namespace lumora {

namespace {

TEST(Help, HelpAndVersionOnlyAsTheSoleArgument)
{
    for (const char* word : {"--help", "-h", "-?"}) {
        SCOPED_TRACE(word);
        const RunOutcome help = run_veska_in_process({word});
        EXPECT_EQ(help.exit_code, 0);
        EXPECT_EQ(help.output, banner_text() + USAGE_TEXT + help_text(manual_form()));
        for (const char* pointer : {"veska-inspect --check", "LL_definition_file", "./--help", "Exit code"}) {
            EXPECT_NE(help.output.find(pointer), std::string::npos) << pointer;
        }
        const RunOutcome inspect_help = run_inspect_in_process({word});
        EXPECT_EQ(inspect_help.exit_code, 0);
        EXPECT_EQ(inspect_help.output, std::string(INSPECT_USAGE_TEXT) + "\n" + inspect_help_text(manual_form()));
        // With more on the command line it is a name ("-?" one that Windows
        // does not take).
        const RunOutcome with_more = run_veska_in_process({word, "lights.cfg"});
        EXPECT_EQ(after_banner(with_more.output).rfind("Error opening file " + std::string(word) + ": ", 0), 0u)
            << with_more.output;
    }
    const RunOutcome version = run_veska_in_process({"--version"});
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ(version.output, "veska (Lumora) " LUMORA_VERSION "\n");
}

// The manuals as man pages where there are man pages, as the HTML files
// beside the program where the ZIP puts them; never the other.
TEST(Help, BothHelpsNameTheManualsAsTheSystemKeepsThem)
{
    struct Case {
        ManualForm form;
        std::vector<std::string> named;
        std::string not_named;
    };
    const Case cases[] = {
        {ManualForm::man_pages, {"man veska", "man veska-inspect"}, ".html"},
        {ManualForm::html_beside_program, {"veska.html", "veska-inspect.html", "this program's folder"}, "man "},
    };
    for (const Case& c : cases) {
        for (const std::string& text : {help_text(c.form), inspect_help_text(c.form)}) {
            SCOPED_TRACE(text);
            for (const std::string& name : c.named) {
                EXPECT_NE(text.find(name), std::string::npos) << name;
            }
            EXPECT_EQ(text.find(c.not_named), std::string::npos);
        }
    }
    const RunOutcome inspect_help = run_inspect_in_process({"--help"});
    EXPECT_EQ(inspect_help.exit_code, 0);
    EXPECT_EQ(inspect_help.output, std::string(INSPECT_USAGE_TEXT) + "\n" + inspect_help_text(manual_form()));
}

#if !defined(_WIN32)
TEST(Help, SlashQuestionMarkIsANameOutsideWindows)
{
    EXPECT_EQ(after_banner(run_veska_in_process({"/?"}).output), "Error opening file /?: No such file or directory\n");
    EXPECT_EQ(run_inspect_in_process({"/?"}).output, "Error opening file /?: No such file or directory\n");
}
#endif

TEST(Help, AModelNamedHelpIsReachedWithItsFolder)
{
    const ScratchDir dir;
    const std::string model = dir.file("--help");
    write_file_bytes(model, mdl_builder::build_sample_mdl());
    write_file_text(dir.file("lights.cfg"), worked_definition(1));
    const RunOutcome run = run_veska_in_process({model, dir.file("lit.mdl"), dir.file("lights.cfg")});
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_TRUE(file_exists(dir.file("lit.mdl")));
}

}  // namespace

}  // namespace lumora
