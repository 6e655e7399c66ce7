// What the programs do to the files that stand where they write, and to a
// definition file they cannot read: the backup is always a new regular file
// with the model's permissions and owner, a replaced target keeps its own,
// no output replaces the definition file, and a definition that cannot be
// read stops the run before anything is written.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/runner.h"
#include "tests/support/special_files.h"
#include "tests/support/worked_example.h"
#include "tools/mdl_builder/mdl_builder.h"

namespace lumora {

namespace {

namespace fs = std::filesystem;

const Bytes OLD = {'o', 'l', 'd', '\n'};

class Destinations : public ::testing::Test {
protected:
    void SetUp() override
    {
        write_file_bytes(model_, sample_);
        write_file_text(definition_, worked_definition(1));
    }

    std::string run_output(const std::vector<std::string>& arguments, int* exit_code)
    {
        const RunOutcome run = run_veska_in_process(arguments);
        *exit_code = run.exit_code;
        return after_banner(run.output);
    }

    ScratchDir dir_;
    const Bytes sample_ = mdl_builder::build_sample_mdl();
    const std::string model_ = dir_.file("plane.mdl");
    const std::string backup_ = dir_.file("plane.MD$");
    const std::string definition_ = dir_.file("lights.cfg");
    const std::string elsewhere_ = dir_.file("private.dat");
};

// Whatever stands at the backup name is replaced by a new regular file;
// nothing is written through it.
TEST_F(Destinations, BackupReplacesWhateverStandsAtItsName)
{
    struct Case {
        const char* title;
        bool (*make)(const std::string& at, const std::string& elsewhere);
    };
    const Case cases[] = {
        {"a link to a device", [](const std::string& at, const std::string&) { return make_symlink(null_device(), at); }},
        {"a link to a private file elsewhere",
         [](const std::string& at, const std::string& elsewhere) { return make_symlink(elsewhere, at); }},
        {"a link that leads nowhere",
         [](const std::string& at, const std::string&) { return make_symlink("missing/file", at); }},
        {"a named pipe", [](const std::string& at, const std::string&) { return make_fifo(at); }},
        {"an old backup",
         [](const std::string& at, const std::string&) { return write_file_bytes(at, OLD), true; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        std::error_code ignored;
        fs::remove(backup_, ignored);
        write_file_bytes(elsewhere_, OLD);
        if (!c.make(backup_, elsewhere_)) {
            std::printf("skipped \"%s\": the system cannot make one here\n", c.title);
            continue;
        }
        int code = 0;
        const std::string output = run_output({model_, definition_}, &code);
        EXPECT_EQ(code, 0) << output;
        EXPECT_EQ(output.rfind("Backup MDL file " + backup_ + " created.\n", 0), 0u) << output;
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(backup_)));
        EXPECT_EQ(read_file_bytes(backup_), sample_);
        EXPECT_EQ(read_file_bytes(elsewhere_), OLD);
        EXPECT_TRUE(is_special_file(null_device()));
        write_file_bytes(model_, sample_);
    }
    fs::remove(backup_);
    fs::create_directory(backup_);
    int code = 0;
    EXPECT_EQ(run_output({model_, definition_}, &code), "Error opening backup file " + backup_ +
                                                            ": Is a directory\n"
                                                            "No further processing due to non-available MDL backup "
                                                            "file.\n");
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(fs::is_empty(backup_));
    EXPECT_EQ(read_file_bytes(model_), sample_);
}

TEST_F(Destinations, BackupTakesTheModelsPermissionsAndOwnerAndATargetKeepsItsOwn)
{
    if (!set_mode(model_, 0600)) {
        GTEST_SKIP() << "no permission bits 0600 here";
    }
    const bool give_away = can_give_files_away();
    if (give_away) {
        ASSERT_TRUE(set_owner(model_, 4321, 4322));
    } else {
        std::printf("owners not checked: the tests may not give files to other users here\n");
    }
    int code = 0;
    run_output({model_, definition_}, &code);
    ASSERT_EQ(code, 0);
    const Ownership backup = ownership_of(backup_);
    EXPECT_EQ(backup.mode, 0600u);
    const Ownership model = ownership_of(model_);
    EXPECT_EQ(model.mode, 0600u);
    if (give_away) {
        EXPECT_EQ(backup.owner, 4321u);
        EXPECT_EQ(backup.group, 4322u);
        EXPECT_EQ(model.owner, 4321u);
        EXPECT_EQ(model.group, 4322u);
    }

    // A replaced target keeps its permissions and owner; another hard link
    // of it keeps the old bytes.
    const std::string target = dir_.file("target.mdl");
    const std::string other_link = dir_.file("other-link.mdl");
    write_file_bytes(model_, sample_);
    write_file_bytes(target, OLD);
    fs::create_hard_link(target, other_link);
    ASSERT_TRUE(set_mode(target, 0640));
    if (give_away) {
        ASSERT_TRUE(set_owner(target, 4331, 4332));
    }
    run_output({model_, target, definition_}, &code);
    ASSERT_EQ(code, 0);
    EXPECT_EQ(read_file_bytes(target).size(), sample_.size());
    EXPECT_EQ(read_file_bytes(other_link), OLD);
    EXPECT_EQ(ownership_of(target).mode, 0640u);
    if (give_away) {
        EXPECT_EQ(ownership_of(target).owner, 4331u);
        EXPECT_EQ(ownership_of(target).group, 4332u);
    }
}

// No output may replace the definition file: not the target, not the backup,
// not the preview picture, also through a link of either kind.
TEST_F(Destinations, AnOutputThatIsTheDefinitionFileIsRefused)
{
    const std::string hard_link = dir_.file("hard.mdl");
    const std::string soft_link = dir_.file("soft.mdl");
    fs::create_hard_link(definition_, hard_link);
    const bool soft = make_symlink(definition_, soft_link);
    const std::string definition_text = worked_definition(1);
    for (const std::string& target : {definition_, hard_link, soft ? soft_link : definition_}) {
        SCOPED_TRACE(target);
        int code = 0;
        const std::string output = run_output({model_, target, definition_}, &code);
        EXPECT_EQ(output.substr(output.find("Error")), "Error opening target MDL file " + target + ": File exists\n");
        EXPECT_EQ(code, EEXIST);
        EXPECT_EQ(read_file_text(definition_), definition_text);

        const RunOutcome preview = run_inspect_in_process({"--preview", definition_, target});
        EXPECT_EQ(preview.exit_code, 1);
        EXPECT_EQ(preview.output.substr(preview.output.find("Error")),
                  "Error opening preview file " + target + ": File exists\n");
        EXPECT_EQ(read_file_text(definition_), definition_text);
    }

    // In place, a backup name that is the definition file (by its name, or a
    // hard link to it) stops the run before anything is written.
    const std::string model_beside = dir_.file("lights.mdl");
    write_file_bytes(model_beside, sample_);
    const std::string definition_by_backup_name = dir_.file("lights.MD$");
    write_file_text(definition_by_backup_name, definition_text);
    const std::string ship = dir_.file("ship.mdl");
    write_file_bytes(ship, sample_);
    fs::create_hard_link(definition_, dir_.file("ship.MD$"));
    for (const auto& names : {std::pair<std::string, std::string>{model_beside, definition_by_backup_name},
                              std::pair<std::string, std::string>{ship, definition_}}) {
        SCOPED_TRACE(names.first);
        const std::string backup = names.first.substr(0, names.first.rfind('.')) + ".MD$";
        int code = 0;
        EXPECT_EQ(run_output({names.first, names.second}, &code),
                  "Error opening backup file " + backup + ": File exists\n"
                  "No further processing due to non-available MDL backup file.\n");
        EXPECT_EQ(code, 1);
        EXPECT_EQ(read_file_text(names.second), definition_text);
    }
}

// A definition file that cannot be read ends the run with 1 before anything
// but the backup is written; reading stops at once, with no message of the
// reader or the ground pitch. The preview draws nothing.
TEST_F(Destinations, ADefinitionThatCannotBeReadStopsTheRun)
{
    const std::string folder = dir_.file("folder.cfg");
    fs::create_directory(folder);
    const std::string target = dir_.file("target.mdl");
    const std::string picture = dir_.file("picture.svg");
    write_file_bytes(picture, OLD);
    const std::string error = "Error reading definition file " + folder + ": Is a directory\n";

    int code = 0;
    EXPECT_EQ(run_output({model_, folder}, &code), "Backup MDL file " + backup_ + " created.\n" + error);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(read_file_bytes(model_), sample_);
    EXPECT_EQ(run_output({model_, target, folder}, &code), error);
    EXPECT_EQ(code, 1);
    EXPECT_FALSE(file_exists(target));

    const RunOutcome preview = run_inspect_in_process({"--preview", folder, picture});
    EXPECT_EQ(preview.exit_code, 1);
    EXPECT_EQ(preview.output, error);
    EXPECT_EQ(read_file_bytes(picture), OLD);
    // A folder as the model, alike on every system.
    EXPECT_EQ(run_output({folder, target, definition_}, &code), folder + " is not a MDL file.\n");
    EXPECT_EQ(code, 1);
}

// veska-inspect's exit codes mean one thing each: 2 only for a command line
// it does not understand; a file it cannot write gives 1 and its message.
TEST_F(Destinations, InspectorExitCodesMeanOneThingEach)
{
    const std::string missing = dir_.file("no-such-folder/out");
    const RunOutcome processed = run_veska_in_process({model_, dir_.file("processed.mdl"), definition_});
    ASSERT_EQ(processed.exit_code, 0);
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"--strip", dir_.file("processed.mdl"), missing},
         "Error opening target MDL file " + missing + ": No such file or directory\n"},
        {{"--preview", definition_, missing}, "Error opening preview file " + missing + ": No such file or directory\n"},
        {{"--preview", dir_.file("none.cfg"), dir_.file("out.svg")},
         "Error opening definition file " + dir_.file("none.cfg") + ": No such file or directory\n"},
    };
    for (const auto& c : cases) {
        const RunOutcome run = run_inspect_in_process(c.arguments);
        EXPECT_EQ(run.exit_code, 1) << run.output;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    }
}

}  // namespace

}  // namespace lumora
