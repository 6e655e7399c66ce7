// File-system faults and over-long names through the whole run: the backup
// or the target failing at each stage of writing, and names longer than the
// system takes, in place and with three names.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/faulty_file_system.h"
#include "tests/support/files.h"
#include "tests/support/runner.h"
#include "tests/support/special_files.h"
#include "tests/support/worked_example.h"
#include "tools/mdl_builder/mdl_builder.h"

namespace lumora {

namespace {

const char NO_BACKUP[] = "No further processing due to non-available MDL backup file.\n";

struct StageCase {
    FileStep step;
    int error;
    const char* verb;  // of the message
};

const StageCase STAGES[] = {
    {FileStep::create, EACCES, "opening"},         {FileStep::write, ENOSPC, "writing"},
    {FileStep::set_permissions, EPERM, "closing"}, {FileStep::flush, EIO, "closing"},
    {FileStep::close, EFBIG, "closing"},           {FileStep::replace, EXDEV, "closing"},
};

std::string message(const char* what, const StageCase& c, const std::string& name)
{
    return std::string("Error ") + c.verb + " " + what + " " + name + ": " + std::strerror(c.error) + "\n";
}

class RunFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        write_file_bytes(model_, sample_);
        write_file_text(definition_, worked_definition(1));
    }

    ScratchDir dir_;
    const Bytes sample_ = mdl_builder::build_sample_mdl();
    const Bytes old_ = {'o', 'l', 'd', '\n'};
    const std::string model_ = dir_.file("model.mdl");
    const std::string backup_ = dir_.file("model.MD$");
    const std::string target_ = dir_.file("target.mdl");
    const std::string definition_ = dir_.file("lights.cfg");
};

TEST_F(RunFaults, BackupFaultEndsTheRunBeforeTheDefinitionIsRead)
{
    for (const StageCase& c : STAGES) {
        for (const bool earlier_backup : {true, false}) {
            SCOPED_TRACE(std::string(c.verb) + " " + std::strerror(c.error) +
                         (earlier_backup ? ", earlier backup" : ", no backup yet"));
            std::filesystem::remove(backup_);
            if (earlier_backup) {
                write_file_bytes(backup_, old_);
            }
            write_file_bytes(model_, sample_);
            FaultyFileSystem files(FileFault{c.step, c.error, backup_});
            const RunOutcome run = run_veska_in_process({model_, definition_}, files);

            EXPECT_EQ(run.exit_code, 1);
            EXPECT_TRUE(ends_with(run.output, message("backup file", c, backup_) + NO_BACKUP)) << run.output;
            EXPECT_EQ(run.output.find("Ground Pitch"), std::string::npos);
            EXPECT_EQ(read_file_bytes(model_), sample_);
            if (earlier_backup) {
                EXPECT_EQ(read_file_bytes(backup_), old_);
                EXPECT_EQ(folder_entries(dir_.path()),
                          (std::vector<std::string>{"lights.cfg", "model.MD$", "model.mdl"}));
            } else {
                EXPECT_EQ(folder_entries(dir_.path()), (std::vector<std::string>{"lights.cfg", "model.mdl"}));
            }
        }
    }
}

TEST_F(RunFaults, TargetFaultInPlaceKeepsTheModelAndItsBackup)
{
    for (const StageCase& c : STAGES) {
        SCOPED_TRACE(std::string(c.verb) + " " + std::strerror(c.error));
        write_file_bytes(backup_, old_);
        write_file_bytes(model_, sample_);
        FaultyFileSystem files(FileFault{c.step, c.error, model_});
        const RunOutcome run = run_veska_in_process({model_, definition_}, files);

        EXPECT_EQ(run.exit_code, c.error);
        EXPECT_TRUE(ends_with(run.output, message("target MDL file", c, model_))) << run.output;
        EXPECT_NE(run.output.find("Backup MDL file " + backup_ + " created.\n"), std::string::npos);
        EXPECT_EQ(run.output.find("successfully written"), std::string::npos);
        EXPECT_EQ(read_file_bytes(model_), sample_);
        EXPECT_EQ(read_file_bytes(backup_), sample_);
        EXPECT_EQ(folder_entries(dir_.path()), (std::vector<std::string>{"lights.cfg", "model.MD$", "model.mdl"}));
    }
}

TEST_F(RunFaults, TargetFaultWithThreeNamesKeepsSourceAndTarget)
{
    for (const StageCase& c : STAGES) {
        for (const bool target_exists : {true, false}) {
            SCOPED_TRACE(std::string(c.verb) + " " + std::strerror(c.error) +
                         (target_exists ? ", target exists" : ", new target"));
            std::filesystem::remove(target_);
            if (target_exists) {
                write_file_bytes(target_, old_);
            }
            write_file_bytes(model_, sample_);
            FaultyFileSystem files(FileFault{c.step, c.error, target_});
            const RunOutcome run = run_veska_in_process({model_, target_, definition_}, files);

            EXPECT_EQ(run.exit_code, c.error);
            EXPECT_TRUE(ends_with(run.output, message("target MDL file", c, target_))) << run.output;
            EXPECT_EQ(read_file_bytes(model_), sample_);
            if (target_exists) {
                EXPECT_EQ(read_file_bytes(target_), old_);
                EXPECT_EQ(folder_entries(dir_.path()),
                          (std::vector<std::string>{"lights.cfg", "model.mdl", "target.mdl"}));
            } else {
                EXPECT_EQ(folder_entries(dir_.path()), (std::vector<std::string>{"lights.cfg", "model.mdl"}));
            }
        }
    }
}

TEST_F(RunFaults, ReadFaultsEndTheRunWithNothingWritten)
{
    // A model of 64 MiB: its bytes held twice would not fit where memory
    // runs out.
    const std::string big_model = dir_.file("big.mdl");
    write_file_bytes(big_model, sample_);
    std::filesystem::resize_file(big_model, 64u << 20);
    const std::string longest = dir_.file("long.cfg");  // one byte beyond the longest definition
    write_file_text(longest, worked_definition(1));
    std::filesystem::resize_file(longest, (64u << 20) + 1);
    struct ReadCase {
        const char* title;
        FileStep step;
        int error;
        std::string model;
        std::string definition;
        std::string faulty;  // the file whose reading fails
        const char* message;
    };
    const ReadCase cases[] = {
        {"an unreadable definition", FileStep::open_to_read, EACCES, model_, definition_, definition_,
         "Error opening definition file %s: %s\n"},
        {"a short read of the definition", FileStep::read, EIO, model_, definition_, definition_,
         "Error reading definition file %s: %s\n"},
        {"a short read of the model", FileStep::read, EIO, model_, definition_, model_,
         "Error reading MDL file %s: %s\n"},
        {"no memory for a 64 MiB model", FileStep::read, ENOMEM, big_model, definition_, big_model,
         "Error reading MDL file %s: %s\n"},
        {"a definition one byte too long", FileStep::none, EFBIG, model_, longest, longest,
         "Error reading definition file %s: %s\n"},
        {"a definition that never ends", FileStep::none, EFBIG, model_, "/dev/zero", "/dev/zero",
         "Error reading definition file %s: %s\n"},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.title);
        if (c.definition == "/dev/zero" && !file_exists(c.definition)) {
            continue;  // no device that never ends here
        }
        FaultyFileSystem files(FileFault{c.step, c.error, c.faulty});
        const RunOutcome run = run_veska_in_process({c.model, target_, c.definition}, files);

        char expected[4608];
        std::snprintf(expected, sizeof expected, c.message, c.faulty.c_str(), std::strerror(c.error));
        EXPECT_EQ(run.exit_code, 1);
        EXPECT_TRUE(ends_with(run.output, expected)) << run.output;
        EXPECT_EQ(files.strikes(), c.step == FileStep::none ? 0 : 1);
        EXPECT_FALSE(std::filesystem::exists(target_));
        EXPECT_EQ(read_file_bytes(model_), sample_);
    }
}

TEST_F(RunFaults, WithoutAFaultTheSameRunsWrite)
{
    // The runs above fail only through the injected fault.
    RunOutcome run = run_veska_in_process({model_, definition_});
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_EQ(read_file_bytes(backup_), sample_);
    const Bytes in_place = read_file_bytes(model_);
    EXPECT_EQ(in_place.size(), sample_.size());
    EXPECT_NE(in_place, sample_);
    write_file_bytes(model_, sample_);
    run = run_veska_in_process({model_, target_, definition_});
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_TRUE(ends_with(run.output, "MDL file " + target_ + " with 1 landing light successfully written.\n"));
    EXPECT_EQ(read_file_bytes(target_), in_place);
    EXPECT_EQ(read_file_bytes(model_), sample_);
}

TEST_F(RunFaults, BackupNameThatLeadsToTheModelStopsTheRun)
{
    // A model named *.MD$ is its own backup name; a backup name may also be
    // a link to the model. Either way the model must stay as it is.
    const std::string own_backup = dir_.file("plane.MD$");
    write_file_bytes(own_backup, sample_);
    const std::string linked = dir_.file("linked.mdl");
    write_file_bytes(linked, sample_);
    const bool soft = make_symlink("linked.mdl", dir_.file("linked.MD$"));
    if (!soft) {
        std::printf("the case of a link skipped: the system makes no symbolic link here\n");
    }
    const std::string hard = dir_.file("hard.mdl");
    write_file_bytes(hard, sample_);
    std::filesystem::create_hard_link(hard, dir_.file("hard.MD$"));

    std::vector<std::pair<std::string, std::string>> cases = {{own_backup, own_backup}, {hard, dir_.file("hard.MD$")}};
    std::vector<std::string> names = {"hard.MD$", "hard.mdl", "lights.cfg", "linked.mdl", "model.mdl", "plane.MD$"};
    if (soft) {
        cases.emplace_back(linked, dir_.file("linked.MD$"));
        names.insert(names.begin() + 3, "linked.MD$");
    }
    for (const auto& [model, backup] : cases) {
        SCOPED_TRACE(model);
        const RunOutcome run = run_veska_in_process({model, definition_});
        EXPECT_EQ(run.exit_code, 1);
        EXPECT_TRUE(ends_with(run.output, "Error opening backup file " + backup + ": " + std::strerror(EEXIST) +
                                              "\n" + NO_BACKUP))
            << run.output;
        EXPECT_EQ(read_file_bytes(model), sample_);
    }
    EXPECT_EQ(soft, std::filesystem::is_symlink(dir_.file("linked.MD$")));
    EXPECT_EQ(folder_entries(dir_.path()), names);
}

// Names longer than the system's limits: the limit of a whole path
// (PATH_MAX, 4096 on Linux; 32767 characters on Windows), of one component
// (NAME_MAX, 255), and the 260 characters of Windows' short paths, which
// this program does not impose.
class LongNames : public RunFaults {
protected:
    std::string too_long_path(const std::string& last) const
    {
        std::string path = dir_.path();
        while (path.size() <= 33000) {
            path += "/" + std::string(200, 'd');
        }
        return path + "/" + last;
    }
    const char* name_too_long_ = std::strerror(ENAMETOOLONG);
};

TEST_F(LongNames, PathsLongerThan260BytesAreUsedAsGiven)
{
    std::string folder = dir_.path();
    for (const char c : {'a', 'b', 'c'}) {
        folder += "/" + std::string(100, c);
    }
    std::filesystem::create_directories(folder);
    const std::string model = folder + "/model.mdl";
    ASSERT_GT(model.size(), 320u);
    write_file_bytes(model, sample_);

    RunOutcome run = run_veska_in_process({model, folder + "/target.mdl", definition_});
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_EQ(read_file_bytes(model), sample_);
    const Bytes result = read_file_bytes(folder + "/target.mdl");
    EXPECT_EQ(result.size(), sample_.size());

    run = run_veska_in_process({model, definition_});
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_EQ(read_file_bytes(folder + "/model.MD$"), sample_);
    EXPECT_EQ(read_file_bytes(model), result);
    EXPECT_EQ(folder_entries(folder), (std::vector<std::string>{"model.MD$", "model.mdl", "target.mdl"}));
}

TEST_F(LongNames, PathsLongerThanTheSystemTakesFailClearly)
{
    const std::string long_model = too_long_path("model.mdl");
    RunOutcome run = run_veska_in_process({long_model, definition_});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(ends_with(run.output, "Error opening file " + long_model + ": " + name_too_long_ + "\n"));

    const std::string long_target = too_long_path("target.mdl");
    run = run_veska_in_process({model_, long_target, definition_});
    EXPECT_EQ(run.exit_code, ENAMETOOLONG);
    EXPECT_TRUE(ends_with(run.output, "Error opening target MDL file " + long_target + ": " + name_too_long_ + "\n"))
        << run.output.substr(run.output.size() > 300 ? run.output.size() - 300 : 0);

    const std::string long_definition = too_long_path("lights.cfg");
    run = run_veska_in_process({model_, long_definition});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(
        ends_with(run.output, "Error opening definition file " + long_definition + ": " + name_too_long_ + "\n"));

    EXPECT_EQ(read_file_bytes(model_), sample_);
    EXPECT_EQ(read_file_bytes(backup_), sample_);
    EXPECT_EQ(folder_entries(dir_.path()), (std::vector<std::string>{"lights.cfg", "model.MD$", "model.mdl"}));
}

TEST_F(LongNames, ComponentsLongerThanTheSystemTakesFailClearly)
{
    // A target whose own name is too long: refused before anything is written.
    const std::string long_target = dir_.file(std::string(300, 't') + ".mdl");
    RunOutcome run = run_veska_in_process({model_, long_target, definition_});
    EXPECT_EQ(run.exit_code, ENAMETOOLONG);
    EXPECT_TRUE(ends_with(run.output, "Error opening target MDL file " + long_target + ": " + name_too_long_ + "\n"));
    EXPECT_EQ(folder_entries(dir_.path()), (std::vector<std::string>{"lights.cfg", "model.mdl"}));

    // A model of 252 characters without extension is fine, its backup name
    // (256) is not: the run stops with the model untouched.
    const std::string model_252 = dir_.file(std::string(252, 'm'));
    write_file_bytes(model_252, sample_);
    run = run_veska_in_process({model_252, definition_});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(ends_with(run.output, "Error opening backup file " + model_252 + ".MD$: " + name_too_long_ + "\n" +
                                          NO_BACKUP));
    EXPECT_EQ(read_file_bytes(model_252), sample_);
    std::filesystem::remove(model_252);

    // At the limit: a 251-character stem with ".mdl" has a backup of 255.
    const std::string stem(251, 'k');
    const std::string model_255 = dir_.file(stem + ".mdl");
    write_file_bytes(model_255, sample_);
    run = run_veska_in_process({model_255, definition_});
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_EQ(read_file_bytes(dir_.file(stem + ".MD$")), sample_);
    EXPECT_EQ(folder_entries(dir_.path()),
              (std::vector<std::string>{stem + ".MD$", stem + ".mdl", "lights.cfg", "model.mdl"}));
}

// A target whose name the system takes is written, also where the name of
// its temporary file beside it would be too long: for the last component
// (a name of 250 bytes) or for the whole path (one within a few bytes of
// the system's limit).
TEST_F(LongNames, TargetsJustWithinTheLimitsAreWritten)
{
#ifdef _WIN32
    const std::size_t whole_limit = 32767;  // characters of a whole name, the terminator included
#else
    const std::size_t whole_limit = 4096;  // bytes of a whole name, the terminator included
#endif
    const std::string name = "target-of-the-run.mdl";
    std::string folder = dir_.path();
    while (folder.size() + 1 + 200 + 1 + name.size() < whole_limit - 5) {
        folder += "/" + std::string(200, 'd');
    }
    folder += "/" + std::string(whole_limit - 5 - folder.size() - 2 - name.size(), 'e');
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::u8path(folder), error);
    if (error) {
        GTEST_SKIP() << "no folder this deep here: " << error.message();
    }
    const std::string targets[] = {dir_.file(std::string(246, 't') + ".mdl"), folder + "/" + name};
    ASSERT_EQ(targets[1].size(), whole_limit - 5);
    for (const std::string& target : targets) {
        SCOPED_TRACE(target.size());
        const RunOutcome run = run_veska_in_process({model_, target, definition_});
        EXPECT_EQ(run.exit_code, 0) << run.output.substr(run.output.size() > 300 ? run.output.size() - 300 : 0);
        EXPECT_EQ(read_file_bytes(target).size(), sample_.size());
        EXPECT_EQ(folder_entries(std::filesystem::u8path(target).parent_path().u8string()).size(),
                  target == targets[0] ? 4u : 1u);
    }
}

}  // namespace

}  // namespace lumora
