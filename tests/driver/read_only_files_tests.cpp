// Files their user protects: an existing target, backup, restored model or
// picture that the runner may not open for writing is refused at the
// opening step and left as it was; where the runner may write it (the
// administrator of a POSIX system, or Wine run by the administrator) it is
// replaced and keeps its protection. A backup is never made read-only. On
// POSIX the runs are made as a user who owns the read-only files and by the
// administrator; on Windows by the runner, and on a file that another
// program holds without sharing writing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/runner.h"
#include "tests/support/special_files.h"
#include "tests/support/worked_example.h"
#include "tools/mdl_builder/mdl_builder.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace lumora {

namespace {

namespace fs = std::filesystem;

const Bytes OLD = {'o', 'l', 'd', '\n'};
const char NO_BACKUP[] = "No further processing due to non-available MDL backup file.\n";
const char IN_USE[] = "The file is open in another program (perhaps the simulator): close it there, then run veska again.\n";
const char SETPRIV[] = "/usr/bin/setpriv";
constexpr std::uint32_t OTHER_USER = 4322;

#if defined(_WIN32)
constexpr std::uint32_t WRITABLE_BACKUP_OF_READ_ONLY = 0666;  // no read-only attribute
#else
constexpr std::uint32_t WRITABLE_BACKUP_OF_READ_ONLY = 0644;  // the model's 0444 and the owner's writing
#endif

// True when the system lets this process open a read-only file for writing.
bool runner_writes_read_only_files(const ScratchDir& dir)
{
    const std::string probe = dir.file("probe");
    write_file_bytes(probe, OLD);
    if (!set_mode(probe, 0444)) {
        return false;
    }
    const bool opened = std::fstream(fs::u8path(probe), std::ios::in | std::ios::out | std::ios::binary).is_open();
    set_mode(probe, 0666);
    fs::remove(fs::u8path(probe));
    return opened;
}

class ReadOnlyFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        write_file_text(definition_, worked_definition(1));
        write_file_bytes(model_, sample_);
        ASSERT_EQ(run_veska_in_process({model_, processed_, definition_}).exit_code, 0);
        lit_ = read_file_bytes(processed_);
    }

    struct Case {
        const char* title;
        const char* program;
        std::vector<std::string> arguments;
        std::string protected_file;  // made read-only before the run
        int refused_exit_code;
        std::string refused_tail;  // the output's end when refused
        Bytes written;             // what the protected file holds when written
    };

    std::vector<Case> cases() const
    {
        return {
            {"in place, the model", VESKA_PROGRAM, {model_, definition_}, model_, EACCES,
             "Error opening target MDL file " + model_ + ": Permission denied\n", lit_},
            {"in place, the backup", VESKA_PROGRAM, {model_, definition_}, backup_, 1,
             "Error opening backup file " + backup_ + ": Permission denied\n" + NO_BACKUP, sample_},
            {"three names, the target", VESKA_PROGRAM, {model_, target_, definition_}, target_, EACCES,
             "Error opening target MDL file " + target_ + ": Permission denied\n", lit_},
            {"the restored model", VESKA_INSPECT_PROGRAM, {"--strip", processed_, target_}, target_, 1,
             "Error opening target MDL file " + target_ + ": Permission denied\n", sample_},
            {"the picture", VESKA_INSPECT_PROGRAM, {"--preview", definition_, picture_}, picture_, 1,
             "Error opening preview file " + picture_ + ": Permission denied\n", Bytes()},
        };
    }

    // Puts the files in place for a case: the protected one with OLD (the
    // model with the sample), read-only, owned by owner where that is given.
    void prepare(const Case& c, const std::uint32_t* owner)
    {
        for (const std::string& name : {model_, backup_, target_, picture_}) {
            if (file_exists(name)) {
                set_mode(name, 0666);
                fs::remove(fs::u8path(name));
            }
        }
        write_file_bytes(model_, sample_);
        if (c.protected_file != model_) {
            write_file_bytes(c.protected_file, OLD);
        }
        for (const std::string& name : {model_, processed_, definition_, c.protected_file}) {
            ASSERT_TRUE(owner == nullptr || set_owner(name, *owner, *owner));
        }
        ASSERT_TRUE(set_mode(c.protected_file, 0444));
    }

    // Runs the case's program: by the user owner through setpriv where one
    // is given, else by the runner. The exit code; output_ gets the output.
    int run(const Case& c, const std::uint32_t* owner)
    {
        const std::string output_file = dir_.file("output.txt");
        int exit_code = -1;
        if (owner == nullptr) {
            exit_code = run_program(c.program, c.arguments, output_file);
        } else {
            const std::string id = std::to_string(*owner);
            std::vector<std::string> words = {"--reuid=" + id, "--regid=" + id, "--clear-groups", c.program};
            words.insert(words.end(), c.arguments.begin(), c.arguments.end());
            exit_code = run_program(SETPRIV, words, output_file);
        }
        output_ = read_file_text(output_file);
        return exit_code;
    }

    void expect_refused(const Case& c, int exit_code)
    {
        EXPECT_EQ(exit_code, c.refused_exit_code) << output_;
        EXPECT_TRUE(ends_with(output_, c.refused_tail)) << output_;
        EXPECT_EQ(read_file_bytes(c.protected_file), c.protected_file == model_ ? sample_ : OLD);
        EXPECT_EQ(ownership_of(c.protected_file).mode, 0444u);
        if (c.protected_file == model_) {
            // The backup was made before, and the next run may replace it.
            EXPECT_EQ(read_file_bytes(backup_), sample_);
            EXPECT_EQ(ownership_of(backup_).mode, WRITABLE_BACKUP_OF_READ_ONLY);
        }
    }

    void expect_written(const Case& c, int exit_code)
    {
        EXPECT_EQ(exit_code, 0) << output_;
        const Bytes now = read_file_bytes(c.protected_file);
        if (c.written.empty()) {
            EXPECT_NE(now, OLD);
        } else {
            EXPECT_EQ(now, c.written);
        }
        // A replaced file keeps its protection; a backup takes the model's
        // and the owner's writing.
        const std::uint32_t mode = c.protected_file == backup_ ? ownership_of(model_).mode | 0200 : 0444;
        EXPECT_EQ(ownership_of(c.protected_file).mode, mode);
    }

    ScratchDir dir_;
    const Bytes sample_ = mdl_builder::build_sample_mdl();
    Bytes lit_;
    const std::string model_ = dir_.file("plane.mdl");
    const std::string backup_ = dir_.file("plane.MD$");
    const std::string processed_ = dir_.file("processed.mdl");
    const std::string target_ = dir_.file("target.mdl");
    const std::string picture_ = dir_.file("lights.svg");
    const std::string definition_ = dir_.file("lights.cfg");
    std::string output_;
};

// By the runner: refused unless the system lets the runner write read-only
// files (the administrator on POSIX).
TEST_F(ReadOnlyFiles, TheRunnerWritesWhatTheSystemLetsItWrite)
{
    const bool may_write = runner_writes_read_only_files(dir_);
    // Run as a user other than the administrator (scripts/wine-as-user.sh),
    // the system must keep read-only files from the runner.
    if (std::getenv("VESKA_TEST_NOT_ADMINISTRATOR") != nullptr) {
        ASSERT_FALSE(may_write);
    }
    for (const Case& c : cases()) {
        SCOPED_TRACE(std::string(c.title) + (may_write ? ", written" : ", refused"));
        prepare(c, nullptr);
        const int exit_code = run(c, nullptr);
        if (may_write) {
            expect_written(c, exit_code);
        } else {
            expect_refused(c, exit_code);
        }
    }
}

// By a user who owns the read-only files: refused, although the folder lets
// that user replace them.
TEST_F(ReadOnlyFiles, AnOwnerWhoMadeThemReadOnlyIsRefused)
{
    if (!can_give_files_away() || !file_exists(SETPRIV)) {
        GTEST_SKIP() << "acting as another user needs the administrator and setpriv";
    }
    ASSERT_TRUE(set_mode(dir_.path(), 0777));
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.title);
        prepare(c, &OTHER_USER);
        expect_refused(c, run(c, &OTHER_USER));
    }
}

#if defined(_WIN32)

// A file held open by another program as a simulator holds its model.
class HeldFile {
public:
    HeldFile(const std::string& path, DWORD sharing)
    {
        const std::wstring name = fs::u8path(path).wstring();
        handle_ = ::CreateFileW(name.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    ~HeldFile()
    {
        if (handle_ != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle_);
        }
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

// Held without sharing writing, or without any sharing: refused at the
// opening step (or at loading, for a model that may not even be read), with
// the line that says what to do.
TEST_F(ReadOnlyFiles, AFileAnotherProgramHoldsIsNamedAsInUse)
{
    const struct {
        const char* title;
        std::vector<std::string> arguments;
        std::string held;
        DWORD sharing;
        int exit_code;
        std::string tail;
    } cases[] = {
        {"the model in place", {model_, definition_}, model_, FILE_SHARE_READ, EACCES,
         "Error opening target MDL file " + model_ + ": Permission denied\n" + IN_USE},
        {"the backup", {model_, definition_}, backup_, FILE_SHARE_READ, 1,
         "Error opening backup file " + backup_ + ": Permission denied\n" + IN_USE + NO_BACKUP},
        {"the target", {model_, target_, definition_}, target_, FILE_SHARE_READ, EACCES,
         "Error opening target MDL file " + target_ + ": Permission denied\n" + IN_USE},
        {"the model, shared with nobody", {model_, target_, definition_}, model_, 0, 1,
         "Error opening file " + model_ + ": Permission denied\n" + IN_USE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        write_file_bytes(model_, sample_);
        write_file_bytes(backup_, OLD);
        write_file_bytes(target_, OLD);
        const Bytes before = read_file_bytes(c.held);
        int exit_code = -1;
        {
            const HeldFile held(c.held, c.sharing);
            ASSERT_TRUE(held.held());
            exit_code = run_program(VESKA_PROGRAM, c.arguments, dir_.file("output.txt"));
        }
        const std::string output = read_file_text(dir_.file("output.txt"));
        EXPECT_EQ(exit_code, c.exit_code) << output;
        EXPECT_TRUE(ends_with(output, c.tail)) << output;
        EXPECT_EQ(read_file_bytes(c.held), before);
    }
}

#endif

}  // namespace

}  // namespace lumora
