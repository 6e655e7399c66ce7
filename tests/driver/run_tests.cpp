#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "driver/banner.h"
#include "tests/support/expected_template.h"
#include "tests/support/files.h"
#include "tests/support/run_invariants.h"
#include "tests/support/runner.h"
#include "tests/support/worked_example.h"
#include "tools/mdl_builder/mdl_builder.h"

namespace lumora {

namespace {

struct RunResult {
    int exit_code;
    std::string output;  // without the banner
};

RunResult run(const std::vector<std::string>& args)
{
    const std::string banner = banner_text();
    const RunOutcome outcome = run_veska_in_process(args);
    EXPECT_EQ(outcome.output.compare(0, banner.size(), banner), 0) << "the banner comes first";
    return {outcome.exit_code, outcome.output.substr(std::min(banner.size(), outcome.output.size()))};
}

class Run : public ::testing::Test {
protected:
    void SetUp() override
    {
        model_ = dir_.file("plane.mdl");
        backup_ = dir_.file("plane.MD$");
        definition_ = dir_.file("lights.cfg");
        source_ = mdl_builder::build_sample_mdl();
        write_file_bytes(model_, source_);
    }

    ScratchDir dir_;
    std::string model_;
    std::string backup_;
    std::string definition_;
    Bytes source_;
};

TEST_F(Run, BannerIsStoredScrambledAndFitsItsBlock)
{
    const std::string banner = banner_text();
    EXPECT_LE(banner.size(), 408u);
    EXPECT_EQ(banner.rfind("VESKA", 0), 0u);
    // Neither the banner nor the trailer stands in the program as plain text.
    const Bytes program = read_file_bytes(VESKA_PROGRAM);
    const std::string bytes(program.begin(), program.end());
    ASSERT_GT(bytes.size(), 10000u);
    EXPECT_EQ(bytes.find("each light's beam and lit spot from a"), std::string::npos);
    EXPECT_EQ(bytes.find("Each light is drawn as a beam and a lit spot"), std::string::npos);
}

TEST_F(Run, NoArgumentPrintsTheUsage)
{
    const RunResult r = run({});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.output,
              "Usage is:\n\n      VESKA <mdl_file> <LL_definition_file>\n"
              "or:   VESKA <source_mdl_file> <target_mdl_file> <LL_definition_file>\n");
    EXPECT_EQ(folder_entries(dir_.path()), std::vector<std::string>{"plane.mdl"});
}

TEST_F(Run, StepsBeforeReadingTheDefinition)
{
    const std::string missing = dir_.file("missing.cfg");
    const std::string target = dir_.file("out.mdl");
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string output;
        bool backup_made;
    };
    const Case cases[] = {
        {"one argument", {model_},
         "Backup MDL file " + backup_ + " created.\n"
         "Error opening definition file (none): No such file or directory\n",
         true},
        {"two arguments", {model_, missing},
         "Backup MDL file " + backup_ + " created.\nError opening definition file " + missing +
             ": No such file or directory\n",
         true},
        {"three arguments", {model_, target, missing},
         "Error opening definition file " + missing + ": No such file or directory\n", false},
        {"four arguments", {model_, target, missing, "extra"},
         "Error opening definition file " + missing + ": No such file or directory\n", false},
        {"missing model", {dir_.file("none.mdl"), missing},
         "Error opening file " + dir_.file("none.mdl") + ": No such file or directory\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(backup_);
        const RunResult r = run(c.args);
        EXPECT_EQ(r.exit_code, 1);
        EXPECT_EQ(r.output, c.output);
        EXPECT_EQ(read_file_bytes(model_), source_);
        EXPECT_EQ(file_exists(backup_), c.backup_made);
        if (c.backup_made) {
            EXPECT_EQ(read_file_bytes(backup_), source_);
        }
        EXPECT_FALSE(file_exists(target));
    }
}

TEST_F(Run, RefusedModelsMakeNoBackup)
{
    write_file_text(definition_, worked_definition(1));
    mdl_builder::SampleOptions foreign;
    foreign.mz_signature = 0x4D5A;
    mdl_builder::SampleOptions processed;
    processed.word_42 = mdl_builder::MARK_38;
    const Bytes earlier_backup = {'o', 'l', 'd'};
    struct Case {
        mdl_builder::SampleOptions options;
        const char* message;
    };
    const Case cases[] = {
        {foreign, " is not a MDL file.\n"},
        {processed, " is not an unmodified MDL file.\n"},
    };
    for (const Case& c : cases) {
        const Bytes model = mdl_builder::build_sample_mdl(c.options);
        write_file_bytes(model_, model);
        write_file_bytes(backup_, earlier_backup);
        const RunResult r = run({model_, definition_});
        EXPECT_EQ(r.exit_code, 1);
        EXPECT_EQ(r.output, model_ + c.message);
        EXPECT_EQ(read_file_bytes(model_), model);
        EXPECT_EQ(read_file_bytes(backup_), earlier_backup);
    }
}

TEST_F(Run, BackupThatCannotBeWrittenStopsTheRun)
{
    write_file_text(definition_, worked_definition(1));
    std::filesystem::create_directory(backup_);
    const RunResult r = run({model_, definition_});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.output, "Error opening backup file " + backup_ +
                            ": Is a directory\nNo further processing due to non-available MDL backup file.\n");
    EXPECT_EQ(read_file_bytes(model_), source_);
}

TEST_F(Run, WritesTheLightsInPlaceAndToATarget)
{
    const LightRecord records[3] = {worked_record(1), worked_record(2), worked_record(3)};
    const char* const light_lines[3] = {
        "[Light 1]: pitch=9.46 degrees, beam inclination=-14.38 degrees\n",
        "[Light 2]: pitch=9.46 degrees, beam inclination=-14.38 degrees\n",
        "[Light 3]: pitch=9.46 degrees, beam inclination=-14.38 degrees\n",
    };
    for (unsigned lights = 1; lights <= 3; ++lights) {
        SCOPED_TRACE(lights);
        write_file_text(definition_, worked_definition(lights));
        const Bytes block = expected_filled_template(TEMPLATE_VALUES[lights - 1], records);
        Bytes expected;
        ASSERT_TRUE(expected_insertion(source_, block.data(), block.size(), expected));
        std::string lines = "Ground Pitch= 9.46 degrees (means pitch up).\n";
        for (unsigned i = 0; i < lights; ++i) {
            lines += light_lines[i];
        }
        const std::string count = std::to_string(lights) + (lights == 1 ? " landing light" : " landing lights");

        // Three names: the source stays as it was, to the inode.
        const std::string target = dir_.file("lit.mdl");
        const std::string same_file = dir_.file("model-link.mdl");
        std::filesystem::create_hard_link(model_, same_file);
        const auto written_before = std::filesystem::last_write_time(model_);
        RunResult r = run({model_, target, definition_});
        EXPECT_EQ(r.exit_code, 0);
        EXPECT_EQ(r.output, lines + "MDL file " + target + " with " + count + " successfully written.\n");
        EXPECT_EQ(read_file_bytes(target), expected);
        EXPECT_EQ(read_file_bytes(model_), source_);
        EXPECT_TRUE(std::filesystem::equivalent(model_, same_file));
        EXPECT_EQ(std::filesystem::last_write_time(model_), written_before);
        std::filesystem::remove(same_file);
        EXPECT_FALSE(file_exists(backup_));

        // In place, over an earlier backup.
        write_file_bytes(backup_, {'o', 'l', 'd'});
        r = run({model_, definition_});
        EXPECT_EQ(r.exit_code, 0);
        EXPECT_EQ(r.output, "Backup MDL file " + backup_ + " created.\n" + lines + "MDL file " + model_ + " with " +
                                count + " successfully written.\n");
        EXPECT_EQ(read_file_bytes(model_), expected);
        EXPECT_EQ(read_file_bytes(backup_), source_);

        // A second run refuses the result and keeps the backup of the original.
        r = run({model_, definition_});
        EXPECT_EQ(r.exit_code, 1);
        EXPECT_EQ(r.output, model_ + " is not an unmodified MDL file.\n");
        EXPECT_EQ(read_file_bytes(model_), expected);
        EXPECT_EQ(read_file_bytes(backup_), source_);

        write_file_bytes(model_, source_);
        std::filesystem::remove(backup_);
        std::filesystem::remove(target);
    }
}

TEST_F(Run, ReportedErrorsKeepEverythingUnwritten)
{
    struct Case {
        const char* name;
        std::string definition;
        std::string output;  // %D stands for the definition file, %T for the target
    };
    const Case cases[] = {
        {"unrecognised name", worked_definition(1) + "Colour=red\n",
         "Ground Pitch= 9.46 degrees (means pitch up).\n"
         "Error in %D, line 12: Unrecognised name=Colour\n"
         "[Light 1]: pitch=9.46 degrees, beam inclination=-14.38 degrees\n"
         "MDL file %T not written due to errors.\n"},
        {"no [Main] section", "; nothing here\n",
         "Error in %D: Invalid number of lights: 0\nMDL file %T not written due to errors.\n"},
        {"a beam that cannot be computed", worked_definition(2) + "MaxRange=0\n",
         "Ground Pitch= 9.46 degrees (means pitch up).\n"
         "[Light 1]: pitch=9.46 degrees, beam inclination=-14.38 degrees\n"
         "Error in %D: [Light 2]: beam geometry cannot be computed from these values.\n"
         "MDL file %T not written due to errors.\n"},
    };
    const std::string target = dir_.file("lit.mdl");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write_file_text(definition_, c.definition);
        for (bool in_place : {false, true}) {
            const RunResult r = in_place ? run({model_, definition_}) : run({model_, target, definition_});
            std::string expected = (in_place ? "Backup MDL file " + backup_ + " created.\n" : "") + c.output;
            expected.replace(expected.find("%T"), 2, in_place ? model_ : target);
            const std::size_t d = expected.find("%D");
            if (d != std::string::npos) {
                expected.replace(d, 2, definition_);
            }
            EXPECT_EQ(r.exit_code, 1);
            EXPECT_EQ(r.output, expected);
            EXPECT_EQ(read_file_bytes(model_), source_);
            EXPECT_FALSE(file_exists(target));
        }
    }
}

TEST_F(Run, StepFailuresAfterReading)
{
    mdl_builder::SampleOptions cramped;
    cramped.free_room = 364 + 250;
    struct Case {
        const char* name;
        Bytes model;
        std::string definition;
        std::string target;
        int exit_code;
        std::string output;
    };
    const std::string nowhere = dir_.file("nowhere/lit.mdl");
    const std::string pitch = "Ground Pitch= 9.46 degrees (means pitch up).\n";
    const std::string light = "[Light 1]: pitch=9.46 degrees, beam inclination=-14.38 degrees\n";
    const Case cases[] = {
        {"missing light section", source_, worked_definition(2).substr(0, worked_definition(2).find("[Light 2]")),
         dir_.file("lit.mdl"), 1, pitch + "Error in " + definition_ + ": [Light 2] not specified in definition file.\n"},
        {"too little room", mdl_builder::build_sample_mdl(cramped), worked_definition(1), dir_.file("lit.mdl"), 1,
         pitch + light + "Not enough space in MDL file for landing lights, space needed=364, space available=614.\n"},
        {"target folder missing", source_, worked_definition(1), nowhere, ENOENT,
         pitch + light + "Error opening target MDL file " + nowhere + ": No such file or directory\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write_file_bytes(model_, c.model);
        write_file_text(definition_, c.definition);
        const RunResult r = run({model_, c.target, definition_});
        EXPECT_EQ(r.exit_code, c.exit_code);
        EXPECT_EQ(r.output, c.output);
        EXPECT_EQ(read_file_bytes(model_), c.model);
        EXPECT_EQ(folder_entries(dir_.path()), (std::vector<std::string>{"lights.cfg", "plane.mdl"}));
    }
}

TEST_F(Run, WarningsAloneStillWrite)
{
    std::string text = worked_definition(1);
    text.replace(text.find("Direction=10"), 12, "Direction=10 deg");
    write_file_text(definition_, text);
    const RunResult r = run({model_, definition_});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_NE(r.output.find("Warning in " + definition_ + ": No unit of measurement expected in line 11.\n"),
              std::string::npos);
    EXPECT_NE(read_file_bytes(model_), source_);
}

}  // namespace

}  // namespace lumora
