// veska --help and --version: recognised only as the sole argument; a model
// of that name is reached as ./--help.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "basics/version.h"
#include "driver/run.h"
#include "tests/support/files.h"
#include "tests/support/runner.h"
#include "tests/support/worked_example.h"
#include "tools/mdl_builder/mdl_builder.h"

namespace lumora {

namespace {

TEST(Help, HelpAndVersionOnlyAsTheSoleArgument)
{
    const RunOutcome help = run_veska_in_process({"--help"});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_EQ(help.output, banner_text() + USAGE_TEXT + HELP_TEXT);
    for (const char* pointer : {"veska-inspect --check", "man veska", "LL_definition_file", "./--help"}) {
        EXPECT_NE(help.output.find(pointer), std::string::npos) << pointer;
    }
    const RunOutcome version = run_veska_in_process({"--version"});
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ(version.output, "veska (Lumora) " LUMORA_VERSION "\n");

    // Anything else is a command line as before: the words are file names.
    const RunOutcome with_more = run_veska_in_process({"--help", "lights.cfg"});
    EXPECT_EQ(with_more.exit_code, 1);
    EXPECT_EQ(after_banner(with_more.output), "Error opening file --help: No such file or directory\n");
}

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
