#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "output/output.h"
#include "tests/support/console_capture.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/files.h"
#include "tests/support/special_files.h"

namespace lumora {

namespace {

class Output : public ::testing::Test {
protected:
    Bytes image_ = Bytes(70136, 0x5C);
    Bytes old_ = {'o', 'l', 'd'};
    std::uint32_t size_ = static_cast<std::uint32_t>(image_.size());
    SystemFileSystem system_;
};

// The context of writes that print to console through files.
struct Writes {
    Writes(const Console& console, FileSystem& files)
        : printer(console), diagnostics(printer), context{diagnostics, nullptr, files}
    {
    }
    Writes(const Writes&) = delete;
    Writes& operator=(const Writes&) = delete;
    operator const OutputContext&() const { return context; }

    MessagePrinter printer;
    Diagnostics diagnostics;
    OutputContext context;
};

Writes context(const Console& console, FileSystem& files) { return Writes(console, files); }

TEST(BackupName, ReplacesTheLastComponentsExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        {"plane.mdl", "plane.MD$"},
        {"plane", "plane.MD$"},
        {"maps.old/plane", "maps.old/plane.MD$"},
        {"maps.old/plane.mdl", "maps.old/plane.MD$"},
        {"C:plane.mdl", "C:plane.MD$"},
        {"C:\\maps.old\\plane", "C:\\maps.old\\plane.MD$"},
        {"D:\\models\\aircraft\\cub.MDL", "D:\\models\\aircraft\\cub.MD$"},
        {"a.b.c", "a.b.MD$"},
        {"plane.", "plane.MD$"},
        {"/tmp/x.y/z", "/tmp/x.y/z.MD$"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(backup_name(c.first), c.second) << c.first;
    }
}

TEST_F(Output, BackupIsTheImageAndReplacesAnEarlierOne)
{
    ScratchDir dir;
    const std::string model = dir.file("plane.mdl");
    write_file_bytes(dir.file("plane.MD$"), old_);
    ConsoleCapture capture;
    EXPECT_EQ(write_backup(context(capture.console(), system_), model.c_str(), image_.data(), size_), 0);
    EXPECT_EQ(capture.text(), "Backup MDL file " + dir.file("plane.MD$") + " created.\n");
    EXPECT_EQ(read_file_bytes(dir.file("plane.MD$")), image_);
    EXPECT_EQ(folder_entries(dir.path()), std::vector<std::string>{"plane.MD$"});
}

TEST_F(Output, TargetKeepsPermissionBitsAndFollowsLinks)
{
    ScratchDir dir;
    const std::string real = dir.file("real.mdl");
    const std::string link = dir.file("link.mdl");
    write_file_bytes(real, old_);
    if (!set_mode(real, 0640)) {
        GTEST_SKIP() << "no permission bits 0640 here";
    }
    if (!make_symlink("real.mdl", link)) {
        GTEST_SKIP() << "the system makes no symbolic link here";
    }
    ConsoleCapture capture;
    EXPECT_EQ(write_target(context(capture.console(), system_), link.c_str(), image_.data(), size_), 0);
    EXPECT_EQ(capture.text(), "");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(read_file_bytes(real), image_);
    EXPECT_EQ(ownership_of(real).mode, 0640u);
}

TEST_F(Output, RealFailuresLeaveTheDestinationAlone)
{
    ScratchDir dir;
    const std::string missing_dir = dir.file("nowhere/plane.mdl");
    const std::string folder = dir.file("folder");
    std::filesystem::create_directory(folder);
    ConsoleCapture capture;
    const Console console = capture.console();

    EXPECT_EQ(write_target(context(console, system_), missing_dir.c_str(), image_.data(), size_), ENOENT);
    EXPECT_EQ(write_backup(context(console, system_), missing_dir.c_str(), image_.data(), size_), ENOENT);
    EXPECT_EQ(write_target(context(console, system_), folder.c_str(), image_.data(), size_), EISDIR);
    EXPECT_EQ(capture.text(),
              "Error opening target MDL file " + missing_dir + ": No such file or directory\n"
              "Error opening backup file " + dir.file("nowhere/plane.MD$") + ": No such file or directory\n"
              "Error opening target MDL file " + folder + ": Is a directory\n");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(folder_entries(dir.path()), std::vector<std::string>{"folder"});

    const std::string full = full_device();
    if (full.empty()) {
        GTEST_SKIP() << "no device that is always full here";
    }
    ConsoleCapture device_capture;
    EXPECT_EQ(write_target(context(device_capture.console(), system_), full.c_str(), image_.data(), size_), ENOSPC);
    EXPECT_EQ(device_capture.text(), "Error writing target MDL file " + full + ": No space left on device\n");
}

struct FaultCase {
    FileStep step;
    int error;
    std::string target_message;  // with %s for the name
    std::string backup_message;
};

TEST_F(Output, FaultAtEachStepKeepsTheOldFileAndLeavesNoTemporary)
{
    const FaultCase cases[] = {
        {FileStep::create, EACCES, "Error opening target MDL file %s: Permission denied\n",
         "Error opening backup file %s: Permission denied\n"},
        {FileStep::write, ENOSPC, "Error writing target MDL file %s: No space left on device\n",
         "Error writing backup file %s: No space left on device\n"},
        {FileStep::set_permissions, EPERM, "Error closing target MDL file %s: Operation not permitted\n",
         "Error closing backup file %s: Operation not permitted\n"},
        {FileStep::flush, EIO, "Error closing target MDL file %s: Input/output error\n",
         "Error closing backup file %s: Input/output error\n"},
        {FileStep::close, EFBIG, "Error closing target MDL file %s: File too large\n",
         "Error closing backup file %s: File too large\n"},
        // The system's own words for a move across file systems.
        {FileStep::replace, EXDEV, std::string("Error closing target MDL file %s: ") + std::strerror(EXDEV) + "\n",
         std::string("Error closing backup file %s: ") + std::strerror(EXDEV) + "\n"},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.target_message);
        ScratchDir dir;
        const std::string target = dir.file("plane.mdl");
        const std::string backup = dir.file("plane.MD$");
        write_file_bytes(target, old_);
        write_file_bytes(backup, old_);
        FaultyFileSystem files(FileFault{c.step, c.error, ""});
        ConsoleCapture capture;
        EXPECT_EQ(write_target(context(capture.console(), files), target.c_str(), image_.data(), size_), c.error);
        EXPECT_EQ(write_backup(context(capture.console(), files), target.c_str(), image_.data(), size_), c.error);
        char first[512];
        char second[512];
        std::snprintf(first, sizeof first, c.target_message.c_str(), target.c_str());
        std::snprintf(second, sizeof second, c.backup_message.c_str(), backup.c_str());
        EXPECT_EQ(capture.text(), std::string(first) + second);
        EXPECT_EQ(read_file_bytes(target), old_);
        EXPECT_EQ(read_file_bytes(backup), old_);
        EXPECT_EQ(folder_entries(dir.path()), (std::vector<std::string>{"plane.MD$", "plane.mdl"}));
    }
}

TEST_F(Output, FaultOnOneNameLetsOtherWritesThrough)
{
    ScratchDir dir;
    const std::string target = dir.file("plane.mdl");
    const std::string backup = backup_name(target.c_str());
    FaultyFileSystem files(FileFault{FileStep::write, ENOSPC, target});
    ConsoleCapture capture;
    EXPECT_EQ(write_backup(context(capture.console(), files), target.c_str(), image_.data(), size_), 0);
    EXPECT_EQ(write_target(context(capture.console(), files), target.c_str(), image_.data(), size_), ENOSPC);
    EXPECT_EQ(files.strikes(), 1);
    EXPECT_EQ(read_file_bytes(backup), image_);
    EXPECT_FALSE(file_exists(target));
}

// Nobody but its owner may open the new file before it is complete: it is
// created for its owner alone, whatever the process's mask, and given the
// replaced file's permissions only after all of its bytes.
TEST_F(Output, TheNewFileIsItsOwnersAloneUntilItsBytesAreWritten)
{
    ScratchDir dir;
    const std::string target = dir.file("plane.mdl");
    write_file_bytes(target, old_);
    if (!set_mode(target, 0664)) {
        GTEST_SKIP() << "no permission bits 0664 here";
    }
    struct Seen {
        FileStep step;
        std::uint32_t mode;
        std::size_t size;
    };
    std::vector<Seen> seen;
    FaultyFileSystem files(FileFault{FileStep::none, 0, ""});
    files.watch([&seen](FileStep step, const std::string& name) {
        seen.push_back({step, ownership_of(name).mode, read_file_bytes(name).size()});
    });
    ConsoleCapture capture;
    ASSERT_EQ(write_target(context(capture.console(), files), target.c_str(), image_.data(), size_), 0);
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen.front().step, FileStep::write);
    EXPECT_EQ(seen.front().mode, 0600u);
    EXPECT_EQ(seen.front().size, 0u);
    bool permissions_given = false;
    for (const Seen& s : seen) {
        if (s.step == FileStep::write) {
            continue;
        }
        EXPECT_EQ(s.size, image_.size()) << static_cast<int>(s.step);
        EXPECT_EQ(s.mode, permissions_given ? 0664u : 0600u) << static_cast<int>(s.step);
        permissions_given = permissions_given || s.step == FileStep::set_permissions;
    }
    EXPECT_TRUE(permissions_given);
    EXPECT_EQ(ownership_of(target).mode, 0664u);
}

// What cannot be kept of the replaced file's permissions is given up
// towards less access: a group that cannot be kept leaves the group no
// permission and the others no more than the old group had; an access
// control list that cannot be read or given leaves the owner alone, with a
// note; one without a list whose inherited entries cannot be taken away
// leaves the group bits (their mask) empty; a set-ID bit goes with an owner
// or group that cannot be kept.
TEST_F(Output, PermissionsThatCannotBeKeptAreGivenUpTowardsLessAccess)
{
    const struct {
        FileStep step;
        int error;
        std::uint32_t before;
        std::uint32_t after;
        bool with_list;  // the file carries an access control list
        bool note;       // the note that the list is lost follows
    } cases[] = {
        {FileStep::none, 0, 06750, 06750, false, false},
        {FileStep::set_owner, EPERM, 06750, 02750, false, false},
        {FileStep::set_group, EPERM, 06750, 04700, false, false},
        {FileStep::set_group, EPERM, 0644, 0604, false, false},
        {FileStep::set_group, EPERM, 0604, 0600, false, false},
        {FileStep::set_group, EPERM, 0674, 0604, false, false},
        {FileStep::read_access_control, EIO, 0644, 0600, false, true},
        {FileStep::set_access_control, EIO, 0644, 0604, false, false},
        {FileStep::set_access_control, EOPNOTSUPP, 0644, 0600, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.step));
        ScratchDir dir;
        const std::string target = dir.file("plane.mdl");
        write_file_bytes(target, old_);
        if (!set_mode(target, c.before)) {
            GTEST_SKIP() << "no set-ID bits here";
        }
        if (c.with_list && std::system(("setfacl -m u:4322:r " + target + " 2>/dev/null").c_str()) != 0) {
            std::printf("the case of an access control list skipped: setfacl cannot give one here\n");
            continue;
        }
        FaultyFileSystem files(FileFault{c.step, c.error, target});
        ConsoleCapture capture;
        EXPECT_EQ(write_target(context(capture.console(), files), target.c_str(), image_.data(), size_), 0);
        EXPECT_EQ(capture.text(), c.note ? "Note: " + target +
                                               " could not keep its access control list; only its owner may now "
                                               "read it.\n"
                                         : "");
        EXPECT_EQ(files.strikes(), c.step == FileStep::none ? 0 : 1);
        EXPECT_EQ(read_file_bytes(target), image_);
        EXPECT_EQ(ownership_of(target).mode, c.after);
    }
}

}  // namespace

}  // namespace lumora
