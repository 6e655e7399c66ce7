// Loading and validating MDL files built by the project's sample builder.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "mdl/mdl_layout.h"
#include "platform/file_system.h"
#include "tests/support/console_capture.h"
#include "tests/support/files.h"
#include "tools/mdl_builder/mdl_builder.h"

namespace lumora {

namespace {

namespace mb = mdl_builder;

struct Outcome {
    int result;
    std::string text;
};

// Each test loads into an image of its own.
class LoadMdl : public ::testing::Test {
protected:
    Outcome load_file(const std::string& name)
    {
        ConsoleCapture capture;
        MessagePrinter printer{capture.console()};
        Diagnostics diagnostics{printer};
        SystemFileSystem files;
        const int result = load_mdl(diagnostics, files, image_, name) == Step::done ? 0 : 1;
        return {result, capture.text()};
    }

    Outcome load_bytes(const Bytes& bytes)
    {
        write_file_bytes(path_, bytes);
        return load_file(path_);
    }

    void expect_refused(const Outcome& outcome, const char* format)
    {
        char expected[512];
        std::snprintf(expected, sizeof expected, format, path_.c_str());
        EXPECT_EQ(1, outcome.result);
        EXPECT_EQ(expected, outcome.text);
        EXPECT_EQ(image_.bytes(), nullptr);
        EXPECT_EQ(nullptr, image_.code_area);
    }

    void expect_loaded(const Outcome& outcome, const Bytes& bytes)
    {
        ASSERT_EQ(0, outcome.result) << outcome.text;
        EXPECT_EQ("", outcome.text);
        ASSERT_NE(image_.bytes(), nullptr);
        ASSERT_EQ(bytes.size(), image_.size);
        EXPECT_EQ(image_.bytes() + 0x11F8, image_.code_area);
        EXPECT_EQ(0, std::memcmp(bytes.data(), image_.bytes(), bytes.size()));
    }

    MdlImage image_;
    ScratchDir dir_;
    std::string path_ = dir_.file("plane.mdl");
};

const char NOT_MDL[] = "%s is not a MDL file.\n";
const char NOT_UNMODIFIED[] = "%s is not an unmodified MDL file.\n";

struct Variant {
    const char* what;
    void (*adjust)(mb::SampleOptions&);
};

// Files with every field in the file but one structural value wrong.
const Variant structural_faults[] = {
    {"no MZ signature", [](mb::SampleOptions& o) { o.mz_signature = 0x4D5A; }},
    {"only the M of MZ", [](mb::SampleOptions& o) { o.mz_signature = 0x004D; }},
    {"header offset points at the DOS stub", [](mb::SampleOptions& o) { o.pe_offset_field = 0x40; }},
    {"header offset one word off", [](mb::SampleOptions& o) { o.pe_offset_field = mb::PE_HEADER_AT + 2; }},
    {"PE followed by a letter", [](mb::SampleOptions& o) { o.pe_signature[2] = 'L'; }},
    {"PE followed by 00 01", [](mb::SampleOptions& o) { o.pe_signature[3] = 1; }},
    {"pe instead of PE", [](mb::SampleOptions& o) { o.pe_signature[0] = 'p'; }},
    {"resource address 0", [](mb::SampleOptions& o) { o.resource_rva_field = 0; }},
    {"resource address below every section", [](mb::SampleOptions& o) { o.resource_rva_field = 0xFFF; }},
    {"resource address inside the resource section", [](mb::SampleOptions& o) { o.resource_rva_field = 0x3010; }},
    {"resource address of the last section", [](mb::SampleOptions& o) { o.resource_rva_field = 0x14000; }},
    {"section count 0", [](mb::SampleOptions& o) { o.section_count_field = 0; }},
    {"section count 2 hides the resource section", [](mb::SampleOptions& o) { o.section_count_field = 2; }},
    {"raw offset 0x1000", [](mb::SampleOptions& o) { o.resource_raw_at_field = 0x1000; }},
    {"raw offset 0xE00 in the high half", [](mb::SampleOptions& o) { o.resource_raw_at_field = 0x0E000000; }},
    {"raw size 0x10600", [](mb::SampleOptions& o) { o.resource_raw_size_field = 0x10600; }},
    {"raw size 0x10A00", [](mb::SampleOptions& o) { o.resource_raw_size_field = 0x10A00; }},
    {"virtual address below the resource address", [](mb::SampleOptions& o) {
         o.resource_virtual_address_field = 0x2800;
     }},
    {"virtual address above the resource address", [](mb::SampleOptions& o) {
         o.resource_virtual_address_field = 0x4000;
     }},
    {"virtual size 0x10800", [](mb::SampleOptions& o) { o.resource_virtual_size_field = 0x10800; }},
    {"virtual size 0x106F6", [](mb::SampleOptions& o) { o.resource_virtual_size_field = 0x106F6; }},
    {"a later section with a lower address hides the exact match", [](mb::SampleOptions& o) {
         o.data_entry_after_resource_entry = true;
     }},
};

// Files that end before a field that the tests read, or whose header offset
// leads outside the file.
const Variant fields_outside_file[] = {
    {"empty file", [](mb::SampleOptions& o) { o.file_size = 0; }},
    {"one byte", [](mb::SampleOptions& o) { o.file_size = 1; }},
    {"MZ and nothing else", [](mb::SampleOptions& o) { o.file_size = 2; }},
    {"cut inside the header offset", [](mb::SampleOptions& o) { o.file_size = mb::PE_OFFSET_FIELD_AT + 3; }},
    {"cut inside the PE signature", [](mb::SampleOptions& o) { o.file_size = mb::PE_HEADER_AT + 3; }},
    {"cut inside the resource address", [](mb::SampleOptions& o) { o.file_size = mb::PE_HEADER_AT + 0x88 + 3; }},
    {"cut before the section table", [](mb::SampleOptions& o) { o.file_size = mb::SECTION_TABLE_AT; }},
    {"cut inside the last section entry", [](mb::SampleOptions& o) { o.file_size = mb::section_table_end() - 1; }},
    {"cut just after the section table", [](mb::SampleOptions& o) { o.file_size = mb::section_table_end(); }},
    {"cut inside the resource section's header area", [](mb::SampleOptions& o) { o.file_size = 0x1000; }},
    {"cut after the unmodified marks", [](mb::SampleOptions& o) { o.file_size = mb::CODE_AREA_AT + 44; }},
    {"one byte short of the model-code area", [](mb::SampleOptions& o) { o.file_size = mb::CODE_AREA_END - 1; }},
    {"one byte short, and already processed", [](mb::SampleOptions& o) {
         o.file_size = mb::CODE_AREA_END - 1;
         o.word_42 = mb::MARK_38;
     }},
    {"header offset at the file's end", [](mb::SampleOptions& o) { o.pe_offset_field = mb::NATURAL_FILE_SIZE; }},
    {"header offset two bytes before the end", [](mb::SampleOptions& o) {
         o.pe_offset_field = mb::NATURAL_FILE_SIZE - 2;
     }},
    {"header offset that wraps 32 bits", [](mb::SampleOptions& o) { o.pe_offset_field = 0xFFFFFFFE; }},
    {"header offset far outside", [](mb::SampleOptions& o) { o.pe_offset_field = 0x80000000; }},
    {"section table runs past the end", [](mb::SampleOptions& o) { o.section_count_field = 0xFFFF; }},
};

// Files of the right structure whose model code is not as the tools leave it.
const Variant modified_code[] = {
    {"already processed", [](mb::SampleOptions& o) { o.word_42 = mb::MARK_38; }},
    {"header length 0", [](mb::SampleOptions& o) { o.header_length = 0; }},
    {"header length 16", [](mb::SampleOptions& o) { o.header_length = 16; }},
    {"header length 12 in the high half", [](mb::SampleOptions& o) { o.header_length = 0x000C0000; }},
    {"header length 12 plus a high bit", [](mb::SampleOptions& o) { o.header_length = 0x8000000C; }},
    {"word 38 is 0x003A", [](mb::SampleOptions& o) { o.word_38 = mb::MARK_42; }},
    {"word 38 byte-swapped", [](mb::SampleOptions& o) { o.word_38 = 0x2300; }},
    {"word 42 byte-swapped", [](mb::SampleOptions& o) { o.word_42 = 0x3A00; }},
    {"word 42 with a high byte", [](mb::SampleOptions& o) { o.word_42 = 0x013A; }},
};

// Files that differ from the default in ways that do not matter.
const Variant accepted[] = {
    {"the default sample", [](mb::SampleOptions&) {}},
    {"optional header size 0", [](mb::SampleOptions& o) { o.optional_header_size_field = 0; }},
    {"optional header size 0xFFFF", [](mb::SampleOptions& o) { o.optional_header_size_field = 0xFFFF; }},
    {"file ends with the model-code area", [](mb::SampleOptions& o) { o.file_size = mb::CODE_AREA_END; }},
    {"file ends inside the resource section", [](mb::SampleOptions& o) { o.file_size = 0x11400; }},
    {"extra data after the last section", [](mb::SampleOptions& o) { o.file_size = 4 * 1024 * 1024 + 3; }},
    {"no free room, wrong end word", [](mb::SampleOptions& o) {
         o.free_room = 0;
         o.end_word = 0x2200;
     }},
    {"nothing behind the second mark", [](mb::SampleOptions& o) { o.code_stops_after_mark_42 = true; }},
};

TEST_F(LoadMdl, StructuralFaultsAreNotMdlFiles)
{
    for (const Variant& variant : structural_faults) {
        SCOPED_TRACE(variant.what);
        mb::SampleOptions options;
        variant.adjust(options);
        expect_refused(load_bytes(mb::build_sample_mdl(options)), NOT_MDL);
    }
}

TEST_F(LoadMdl, FieldsOutsideTheFileAreNotMdlFiles)
{
    for (const Variant& variant : fields_outside_file) {
        SCOPED_TRACE(variant.what);
        mb::SampleOptions options;
        variant.adjust(options);
        expect_refused(load_bytes(mb::build_sample_mdl(options)), NOT_MDL);
    }
}

TEST_F(LoadMdl, ModifiedCodeIsNotAnUnmodifiedFile)
{
    for (const Variant& variant : modified_code) {
        SCOPED_TRACE(variant.what);
        mb::SampleOptions options;
        variant.adjust(options);
        expect_refused(load_bytes(mb::build_sample_mdl(options)), NOT_UNMODIFIED);
    }
}

TEST_F(LoadMdl, StructureIsTestedBeforeTheModelCode)
{
    mb::SampleOptions options;
    options.word_42 = mb::MARK_38;
    options.resource_virtual_size_field = 0;
    expect_refused(load_bytes(mb::build_sample_mdl(options)), NOT_MDL);
}

TEST_F(LoadMdl, AcceptedFilesAreHeldWhole)
{
    for (const Variant& variant : accepted) {
        SCOPED_TRACE(variant.what);
        mb::SampleOptions options;
        variant.adjust(options);
        const Bytes bytes = mb::build_sample_mdl(options);
        expect_loaded(load_bytes(bytes), bytes);
    }
}

// The walk from the table's end passes over entries whose address is zero
// or above the resource address and takes the first at or below it.
TEST_F(LoadMdl, SectionsAfterTheResourceSectionThatDoNotQualifyAreSkipped)
{
    Bytes bytes = mb::build_sample_mdl();
    const std::uint32_t last_entry = mb::SECTION_TABLE_AT + 3 * mb::SECTION_ENTRY_SIZE;
    mb::put_le32(bytes, last_entry + 12, 0);
    expect_loaded(load_bytes(bytes), bytes);

    mb::put_le32(bytes, last_entry + 12, mb::RESOURCE_RVA + 1);
    expect_loaded(load_bytes(bytes), bytes);

    mb::put_le32(bytes, last_entry + 12, mb::RESOURCE_RVA);  // an exact match nearer the end wins
    expect_refused(load_bytes(bytes), NOT_MDL);
}

// The PE header and section table copied to the file's end, cut short by a
// few bytes: every field that a test reads must lie inside the file.
TEST_F(LoadMdl, HeaderAtTheEndIsReadOnlyInsideTheFile)
{
    const std::uint32_t header_length = mb::section_table_end() - mb::PE_HEADER_AT;
    const std::uint32_t resource_field_end = 0x88 + 4;
    for (const std::uint32_t missing : {0u, 1u, 16u, 40u, header_length - resource_field_end,
                                        header_length - resource_field_end + 1, header_length - 8,
                                        header_length - 4}) {
        SCOPED_TRACE(missing);
        mb::SampleOptions options;
        const std::uint32_t size = mb::NATURAL_FILE_SIZE + 0x200;
        const std::uint32_t pe_offset = size - (header_length - missing);
        options.file_size = size;
        options.pe_offset_field = pe_offset;
        Bytes bytes = mb::build_sample_mdl(options);
        std::memcpy(bytes.data() + pe_offset, bytes.data() + mb::PE_HEADER_AT, header_length - missing);
        if (missing == 0) {
            expect_loaded(load_bytes(bytes), bytes);
            } else {
            expect_refused(load_bytes(bytes), NOT_MDL);
        }
    }
}

TEST_F(LoadMdl, FileOfFourGibibytesOrMoreIsRefusedUnread)
{
    const Bytes sample = mb::build_sample_mdl();
    for (const std::uint64_t size : {std::uint64_t{1} << 32, (std::uint64_t{1} << 32) + 0x11800}) {
        SCOPED_TRACE(size);
        write_file_bytes(path_, sample);
        std::error_code error;
        std::filesystem::resize_file(path_, size, error);
        if (error) {
            GTEST_SKIP() << "no sparse file of 4 GiB here: " << error.message();
        }
        expect_refused(load_file(path_), NOT_MDL);
    }
}

TEST_F(LoadMdl, MissingFileCannotBeOpened)
{
    const std::string missing = dir_.file("absent.mdl");
    const Outcome outcome = load_file(missing);
    EXPECT_EQ(1, outcome.result);
    EXPECT_EQ("Error opening file " + missing + ": " + std::strerror(ENOENT) + "\n", outcome.text);
    EXPECT_EQ(image_.bytes(), nullptr);
}

TEST_F(LoadMdl, DirectoryIsRefusedWithoutAnImage)
{
    const Outcome outcome = load_file(dir_.path());
    EXPECT_EQ(1, outcome.result);
    const bool known_message = outcome.text == dir_.path() + " is not a MDL file.\n" ||
                               outcome.text.rfind("Error reading MDL file " + dir_.path() + ": ", 0) == 0 ||
                               outcome.text.rfind("Error opening file " + dir_.path() + ": ", 0) == 0;
    EXPECT_TRUE(known_message) << outcome.text;
    EXPECT_EQ(image_.bytes(), nullptr);
}

// A refused model leaves no image behind, also where a model was loaded
// before into the same record.
TEST_F(LoadMdl, RefusalAfterALoadLeavesNoImage)
{
    const Bytes bytes = mb::build_sample_mdl();
    expect_loaded(load_bytes(bytes), bytes);
    mb::SampleOptions processed;
    processed.word_42 = mb::MARK_38;
    expect_refused(load_bytes(mb::build_sample_mdl(processed)), NOT_UNMODIFIED);
}

}  // namespace

}  // namespace lumora
