// Memory that runs out where the programs keep what they read: the value
// of a definition key, and the image of a model. This test program replaces
// the global allocation functions with ones that refuse any request within
// a chosen range of sizes, so that exactly those allocations fail.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string>

#include "definition/reader.h"
#include "mdl/mdl_image.h"
#include "platform/file_system.h"
#include "tests/support/console_capture.h"
#include "tests/support/files.h"
#include "tools/mdl_builder/mdl_builder.h"

namespace {

// Requests of at least refused_from and fewer than refused_below bytes fail
// while a test arms it.
std::size_t refused_from = std::numeric_limits<std::size_t>::max();
std::size_t refused_below = std::numeric_limits<std::size_t>::max();

void* allocate(std::size_t size)
{
    return size >= refused_from && size < refused_below ? nullptr : std::malloc(size > 0 ? size : 1);
}

// Refuses large requests until it goes out of scope.
struct RefuseLargeAllocations {
    explicit RefuseLargeAllocations(std::size_t from, std::size_t below = std::numeric_limits<std::size_t>::max())
    {
        refused_from = from;
        refused_below = below;
    }
    ~RefuseLargeAllocations()
    {
        refused_from = std::numeric_limits<std::size_t>::max();
        refused_below = std::numeric_limits<std::size_t>::max();
    }
    RefuseLargeAllocations(const RefuseLargeAllocations&) = delete;
    RefuseLargeAllocations& operator=(const RefuseLargeAllocations&) = delete;
};

}  // namespace

void* operator new(std::size_t size)
{
    if (void* p = allocate(size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace lumora {

namespace {

// A value of 249 characters cannot be kept: the reader says "Out of memory."
// where it stores it, and reading fails, as it does without memory for a
// header. Only requests the size of such a value fail (a section's room for
// its entries is larger).
TEST(OutOfMemory, AKeysValueThatCannotBeKeptEndsReading)
{
    const std::string bytes = "[Main]\nLights=1\n[Light 1]\nPitch=" + std::string(249, '1') + "\nDirection=3\n";
    ConsoleCapture capture;
    MessagePrinter printer{capture.console()};
    Diagnostics diagnostics{printer, "big.cfg"};
    Definition definition;
    ReadOutcome outcome = ReadOutcome::read;
    {
        std::string input = bytes;
        const RefuseLargeAllocations refused(240, 300);
        outcome = read_definition_bytes(diagnostics, definition, std::move(input));
    }
    EXPECT_EQ(outcome, ReadOutcome::failed);
    EXPECT_EQ(capture.text(), "Info in big.cfg: Not all gear positions/heights specified, zero ground pitch assumed.\n"
                              "Out of memory.\n");
    EXPECT_TRUE(diagnostics.error_flag);
    EXPECT_EQ(lookup_entry(definition.sections[1], KeyId::pitch), nullptr);
}

// Without memory for a model's image the model is not read, and no image is
// left behind.
TEST(OutOfMemory, AModelWithoutRoomForItsImageIsAReadError)
{
    const ScratchDir dir;
    const std::string path = dir.file("big.mdl");
    write_file_bytes(path, mdl_builder::build_sample_mdl());
    ConsoleCapture capture;
    MessagePrinter printer{capture.console()};
    Diagnostics diagnostics{printer};
    MdlImage image;
    SystemFileSystem files;
    Step result = Step::done;
    {
        const RefuseLargeAllocations refused(65536);
        result = load_mdl(diagnostics, files, image, path);
    }
    EXPECT_EQ(result, Step::reported);
    EXPECT_EQ(capture.text(), "Error reading MDL file " + path + ": " + std::strerror(ENOMEM) + "\n");
    EXPECT_EQ(image.bytes(), nullptr);
}

}  // namespace

}  // namespace lumora
