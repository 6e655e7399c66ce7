#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "mdl/output.h"
#include "tests/support/console_capture.h"
#include "tests/support/files.h"
#include "tests/support/special_files.h"

namespace lumora {

namespace {

class Output : public ::testing::Test {
protected:
    Bytes image_ = Bytes(70136, 0x5C);
    Bytes old_ = {'o', 'l', 'd'};
    std::uint32_t size_ = static_cast<std::uint32_t>(image_.size());
    const OutputFault no_fault_{OutputStage::none, 0, nullptr};
};

// The context of writes that print to console, with fault injected and
// definition as the file no write may replace.
struct Writes {
    Writes(const Console& console, const OutputFault& fault, const char* definition)
        : printer(console), diagnostics(printer), context{diagnostics, definition, fault}
    {
    }
    Writes(const Writes&) = delete;
    Writes& operator=(const Writes&) = delete;
    operator const OutputContext&() const { return context; }

    MessagePrinter printer;
    Diagnostics diagnostics;
    OutputContext context;
};

Writes context(const Console& console, const OutputFault& fault = OutputFault{}, const char* definition = nullptr)
{
    return Writes(console, fault, definition);
}

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
    EXPECT_EQ(write_backup(context(capture.console(), no_fault_), model.c_str(), image_.data(), size_), 0);
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
    EXPECT_EQ(write_target(context(capture.console(), no_fault_), link.c_str(), image_.data(), size_), 0);
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

    EXPECT_EQ(write_target(context(console, no_fault_), missing_dir.c_str(), image_.data(), size_), ENOENT);
    EXPECT_EQ(write_backup(context(console, no_fault_), missing_dir.c_str(), image_.data(), size_), ENOENT);
    EXPECT_EQ(write_target(context(console, no_fault_), folder.c_str(), image_.data(), size_), EISDIR);
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
    EXPECT_EQ(write_target(context(device_capture.console(), no_fault_), full.c_str(), image_.data(), size_), ENOSPC);
    EXPECT_EQ(device_capture.text(), "Error writing target MDL file " + full + ": No space left on device\n");
}

struct FaultCase {
    OutputStage stage;
    int error;
    std::string target_message;  // with %s for the name
    std::string backup_message;
};

TEST_F(Output, InjectedFaultAtEachStageKeepsTheOldFileAndLeavesNoTemporary)
{
    const FaultCase cases[] = {
        {OutputStage::open, EACCES, "Error opening target MDL file %s: Permission denied\n",
         "Error opening backup file %s: Permission denied\n"},
        {OutputStage::write, ENOSPC, "Error writing target MDL file %s: No space left on device\n",
         "Error writing backup file %s: No space left on device\n"},
        {OutputStage::sync, EIO, "Error closing target MDL file %s: Input/output error\n",
         "Error closing backup file %s: Input/output error\n"},
        {OutputStage::close, EFBIG, "Error closing target MDL file %s: File too large\n",
         "Error closing backup file %s: File too large\n"},
        // The system's own words for a move across file systems.
        {OutputStage::rename, EXDEV, std::string("Error closing target MDL file %s: ") + std::strerror(EXDEV) + "\n",
         std::string("Error closing backup file %s: ") + std::strerror(EXDEV) + "\n"},
        // A failing step that leaves no error number still fails.
        {OutputStage::close, 0, "Error closing target MDL file %s: Input/output error\n",
         "Error closing backup file %s: Input/output error\n"},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.target_message);
        ScratchDir dir;
        const std::string target = dir.file("plane.mdl");
        const std::string backup = dir.file("plane.MD$");
        write_file_bytes(target, old_);
        write_file_bytes(backup, old_);
        const OutputFault fault{c.stage, c.error, nullptr};
        const int expected = c.error != 0 ? c.error : EIO;
        ConsoleCapture capture;
        EXPECT_EQ(write_target(context(capture.console(), fault), target.c_str(), image_.data(), size_), expected);
        EXPECT_EQ(write_backup(context(capture.console(), fault), target.c_str(), image_.data(), size_), expected);
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
    const OutputFault fault{OutputStage::write, ENOSPC, target.c_str()};
    ConsoleCapture capture;
    EXPECT_EQ(write_backup(context(capture.console(), fault), target.c_str(), image_.data(), size_), 0);
    EXPECT_EQ(write_target(context(capture.console(), fault), target.c_str(), image_.data(), size_), ENOSPC);
    EXPECT_EQ(read_file_bytes(backup), image_);
    EXPECT_FALSE(file_exists(target));
}

}  // namespace

}  // namespace lumora
