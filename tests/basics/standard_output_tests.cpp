// The programs' standard output when it is no console: a file or a pipe gets
// every byte as printed, on every system, and a write that fails is told by
// flush. (What a Windows console shows is tested by running the programs on
// one: tests/driver/windows_console_tests.cpp.)
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "basics/console.h"
#include "platform/standard_output.h"
#include "tests/support/files.h"

namespace lumora {

namespace {

TEST(StandardOutput, AFileGetsTheBytesAsPrinted)
{
    const ScratchDir dir;
    const std::string name = dir.file("output.txt");
    std::FILE* file = std::fopen(name.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    {
        StandardOutput output{file};
        StandardOutputText text{output};
        const Console console{&text};
        // A letter whose UTF-8 sequence is split between two writes, a byte
        // that is not UTF-8, and both kinds of line end.
        console_write(console, "M\xC3");
        console_write(console, "\xBCller H\xF6he\r\n");
        console_write(console, std::string("end\n"));
        EXPECT_EQ(output.flush(), 0);
    }
    std::fclose(file);
    EXPECT_EQ(read_file_text(name), "M\xC3\xBCller H\xF6he\r\nend\n");
}

TEST(StandardOutput, AFailedWriteIsToldByFlush)
{
    const ScratchDir dir;
    const std::string name = dir.file("read-only.txt");
    write_file_text(name, "");
    std::FILE* file = std::fopen(name.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    StandardOutput output{file};
    output.write("lost\n", 5);
    EXPECT_NE(output.flush(), 0);
    std::fclose(file);
}

}  // namespace

}  // namespace lumora
