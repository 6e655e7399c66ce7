// The report on a model, and the structural test it names for a model veska
// refuses.
#include <gtest/gtest.h>

#include <cstring>

#include "inspect/structure_check.h"
#include "mdl/mdl_layout.h"
#include "tests/inspect/inspect_support.h"
#include "tests/support/console_capture.h"
#include "tests/support/files.h"
#include "tests/support/runner.h"
#include "tests/support/worked_example.h"
#include "tools/mdl_builder/mdl_builder.h"

namespace lumora {

namespace {

namespace mb = mdl_builder;

class Report : public ::testing::Test {
protected:
    RunOutcome report(const Bytes& model)
    {
        write_file_bytes(model_, model);
        return run_inspect_in_process({model_});
    }

    // The report's text from the line that starts with `from` on.
    static std::string from_line(const std::string& text, const std::string& from)
    {
        const std::size_t at = text.find("\n" + from);
        return at == std::string::npos ? "(no line " + from + ")" : text.substr(at + 1);
    }

    ScratchDir dir_;
    std::string model_ = dir_.file("plane.mdl");
};

struct StructureCase {
    const char* name;
    mb::SampleOptions options;
    StructureCheck check;
    const char* text;
};

std::vector<StructureCase> structure_cases()
{
    std::vector<StructureCase> cases;
    auto add = [&cases](const char* name, StructureCheck check, const char* text, auto change) {
        mb::SampleOptions options;
        change(options);
        cases.push_back({name, options, check, text});
    };
    add("accepted", StructureCheck::ok, "", [](mb::SampleOptions&) {});
    add("one byte", StructureCheck::no_mz_signature, "the file is 1 byte long, too short for the \"MZ\" signature",
        [](mb::SampleOptions& o) { o.file_size = 1; });
    add("no MZ", StructureCheck::no_mz_signature,
        "the file does not begin with the \"MZ\" signature (its first word is 0x4D5A)",
        [](mb::SampleOptions& o) { o.mz_signature = 0x4D5A; });
    add("cut before 0x3C", StructureCheck::no_pe_offset, "the file (62 bytes) ends before the PE header offset at 0x3C",
        [](mb::SampleOptions& o) { o.file_size = 0x3E; });
    add("PE offset outside", StructureCheck::no_pe_signature,
        "the PE header offset 0xFFFFFFF0 points outside the file (71680 bytes)",
        [](mb::SampleOptions& o) { o.pe_offset_field = 0xFFFFFFF0u; });
    add("PE signature", StructureCheck::no_pe_signature,
        "no \"PE\" signature with two zero bytes at the PE header offset 0x80 (found the bytes 50 45 01 00)",
        [](mb::SampleOptions& o) { o.pe_signature[2] = 1; });
    add("cut before the resource address", StructureCheck::no_resource_address,
        "the file (266 bytes) ends before the resource table address at 0x108 (PE header + 0x88)",
        [](mb::SampleOptions& o) { o.file_size = 0x80 + 0x8A; });
    add("section table outside", StructureCheck::section_table_outside,
        "the section table of 65535 entries at 0x178 runs past the file's end (71680 bytes)",
        [](mb::SampleOptions& o) { o.section_count_field = 0xFFFF; });
    add("no sections", StructureCheck::no_resource_section,
        "the section table has no entries, so no section holds the resources",
        [](mb::SampleOptions& o) { o.section_count_field = 0; });
    add("resource address 0", StructureCheck::no_resource_section,
        "none of the 4 sections starts at a non-zero address at or below the resource table address 0x0",
        [](mb::SampleOptions& o) { o.resource_rva_field = 0; });
    add("raw offset", StructureCheck::raw_offset, "the resource section's raw data lies at file offset 0xE02, not at 0xE00",
        [](mb::SampleOptions& o) { o.resource_raw_at_field = 0xE02; });
    add(".data examined first", StructureCheck::raw_offset,
        "the resource section's raw data lies at file offset 0xC00, not at 0xE00",
        [](mb::SampleOptions& o) { o.data_entry_after_resource_entry = true; });
    add("raw size", StructureCheck::raw_size, "the resource section's raw data is 0x10000 bytes long, not 0x10800",
        [](mb::SampleOptions& o) { o.resource_raw_size_field = 0x10000; });
    add("virtual address", StructureCheck::virtual_address,
        "the section examined for the resources starts at the address 0x2800, not at the resource table address "
        "0x3000",
        [](mb::SampleOptions& o) { o.resource_virtual_address_field = 0x2800; });
    add("virtual size", StructureCheck::virtual_size, "the resource section's virtual size is 0x10000, not 0x106F8",
        [](mb::SampleOptions& o) { o.resource_virtual_size_field = 0x10000; });
    add("cut inside the area", StructureCheck::code_area_outside,
        "the file (70134 bytes) ends before the end of the model-code area (file offset 0x11F8 + 65536 = 70136 "
        "bytes)",
        [](mb::SampleOptions& o) { o.file_size = mb::CODE_AREA_END - 2; });
    return cases;
}

TEST_F(Report, NamesTheFailingStructuralTestWhileVeskaKeepsItsOneMessage)
{
    for (const StructureCase& c : structure_cases()) {
        SCOPED_TRACE(c.name);
        const Bytes model = mb::build_sample_mdl(c.options);
        write_file_bytes(model_, model);

        MdlImage image;
        StructureFindings findings{};
        MessageLog unheard;
        Diagnostics quiet{unheard};
        SystemFileSystem files;
        ASSERT_EQ(read_model(quiet, files, image, model_, &findings), Step::done);
        EXPECT_EQ(findings.result, c.check);
        EXPECT_EQ(describe_structure_fault(image, findings), c.text);

        const RunOutcome r = report(model);
        EXPECT_EQ(r.exit_code, 0);
        if (c.check != StructureCheck::ok) {
            EXPECT_EQ(r.output, "Model file: " + model_ + " (" + std::to_string(model.size()) +
                                    " bytes)\nLayout: not accepted: " + c.text + ".\n");
            ConsoleCapture capture;
            MessagePrinter printer{capture.console()};
            Diagnostics diagnostics{printer};
            MdlImage refused;
            EXPECT_EQ(load_mdl(diagnostics, files, refused, model_), Step::reported);
            EXPECT_EQ(capture.text(), model_ + " is not a MDL file.\n");
        }
    }
}

TEST_F(Report, UnprocessedModelsAndTheRoomForEachNumberOfLights)
{
    struct Case {
        std::uint32_t free_room;
        const char* room;
    };
    const Case cases[] = {
        {0xC000,
         "Model code: used length U = 16372 bytes (end code at area offset 16382), free room F = 49152 bytes.\n"
         "Room for landing lights (the block + 252 bytes each):\n"
         "  1 light:   616 bytes needed: fits\n  2 lights:  792 bytes needed: fits\n"
         "  3 lights:  968 bytes needed: fits\n"},
        {616,
         "Model code: used length U = 64908 bytes (end code at area offset 64918), free room F = 616 bytes.\n"
         "Room for landing lights (the block + 252 bytes each):\n"
         "  1 light:   616 bytes needed: fits\n  2 lights:  792 bytes needed: does not fit\n"
         "  3 lights:  968 bytes needed: does not fit\n"},
        {614, "  1 light:   616 bytes needed: does not fit\n"},
    };
    for (const Case& c : cases) {
        mb::SampleOptions options;
        options.free_room = c.free_room;
        const RunOutcome r = report(mb::build_sample_mdl(options));
        EXPECT_EQ(r.exit_code, 0);
        EXPECT_NE(r.output.find("Layout: accepted (PE header at 0x80, resource section at file offset 0xE00).\n"
                                "Model-code area (file offset 0x11F8, 65536 bytes), header words:\n"
                                "  header length  12 (0x0000000C)\n"),
                  std::string::npos)
            << r.output;
        EXPECT_NE(r.output.find("State: unprocessed (no landing lights).\n"), std::string::npos);
        EXPECT_NE(r.output.find(c.room), std::string::npos) << r.output;
    }
    mb::SampleOptions no_end;
    no_end.end_word = 0x2200;
    EXPECT_EQ(from_line(report(mb::build_sample_mdl(no_end)).output, "Model code"),
              "Model code: the last non-zero word is 0x2200 at area offset 16382, not the end code 0x0022;\n"
              "  free room F = 49152 bytes. No lights fit: veska stops with \"Unexpected end of data\".\n");
}

TEST_F(Report, ProcessedModelsWithOneTwoAndThreeLights)
{
    const Bytes source = mb::build_sample_mdl();
    // The worked example's spot: SpotWidth 20 cut to 226 units of 0.0883875
    // m (113 each side), and W = 3.5428 m (SpotDepth 40 seen along the beam)
    // cut to 40 units; LatOffset 3 is cut to 33 units, where 34 is nearer.
    const std::string spot =
        "  spot width    19.976 m: SpotWidth, cut to the outline unit\n"
        "  spot depth    3.535 m: the spot's depth as seen along the beam, in the light's plane, cut to the outline "
        "unit\n"
        "                (it comes from SpotDepth, MaxRange and the light's height; it is not SpotDepth)\n";
    const std::string lights[3] = {
        "Light 1:\n"
        "  beam vector   (5511, -7884, 31257): inclination=-14.38 degrees, direction=10.00 degrees\n"
        "  scale         12 (one outline unit = 0.0883875 m)\n"
        "  position      x=2.917 m, y=0.442 m, z=1.414 m (cut to the outline unit)\n" +
            spot,
        "Light 2:\n"
        "  beam vector   (-5511, -7884, 31257): inclination=-14.38 degrees, direction=-10.00 degrees\n"
        "  scale         12 (one outline unit = 0.0883875 m)\n"
        "  position      x=-2.917 m, y=0.442 m, z=1.414 m (cut to the outline unit)\n" +
            spot,
        "Light 3:\n"
        "  beam vector   (5511, -7884, 31257): inclination=-14.38 degrees, direction=10.00 degrees\n"
        "  scale         12 (one outline unit = 0.0883875 m)\n"
        "  position      x=0.000 m, y=0.442 m, z=1.414 m (cut to the outline unit)\n" +
            spot,
    };
    for (unsigned n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        const unsigned size = 188 + 176 * n;
        const RunOutcome r = report(processed_by_veska(dir_, source, worked_definition(n)));
        std::string expected = "State: processed: " + std::to_string(n) + " landing light" + (n == 1 ? "" : "s") +
                               " (the " + std::to_string(n) + "-light block, " + std::to_string(size) +
                               " bytes at area offset 12, every fixed word verified).\n";
        for (unsigned i = 0; i < n; ++i) {
            expected += lights[i];
        }
        expected += "Trailer block: intact (250 bytes at area offset " + std::to_string(16386 + size) +
                    ", behind the end code and one zero word).\n";
        EXPECT_EQ(r.exit_code, 0);
        EXPECT_NE(r.output.find("  length word    " + std::to_string(16372 + size)), std::string::npos);
        EXPECT_EQ(from_line(r.output, "State").substr(0, expected.size()), expected);
        EXPECT_NE(r.output.find("Model code before processing (as --strip restores it): used length U = 16372 bytes "
                                "(end code at area offset 16382), free room F = 49152 bytes.\n"),
                  std::string::npos);
    }
}

TEST_F(Report, ModelsThatAreNeitherUnprocessedNorIntact)
{
    const Bytes processed = processed_by_veska(dir_, mb::build_sample_mdl(), worked_definition(2));
    ASSERT_FALSE(processed.empty());
    Bytes changed_block = processed;
    changed_block[AREA_AT + 12 + 58] ^= 1;  // the transfer distance that tells two lights
    Bytes no_trailer = processed;
    std::fill(no_trailer.begin() + AREA_AT + 16386 + 540, no_trailer.begin() + AREA_AT + 16386 + 540 + 250, 0);
    mb::SampleOptions marked;  // the mark of a processed model on ordinary code
    marked.word_42 = mb::MARK_38;
    mb::SampleOptions header;
    header.header_length = 16;

    struct Case {
        const char* name;
        Bytes model;
        const char* line;
    };
    const Case cases[] = {
        {"block changed", changed_block,
         "State: neither unprocessed nor processed by this program: the model code is modified (the word at area "
         "offset 42 is 0x0023, not 0x003A), but it does not begin with a landing-light block of this program: the "
         "closest, the 2-light block, differs at its byte 58 (area offset 70): 0x65 where the block has 0x64.\n"},
        {"trailer missing", no_trailer,
         "Trailer block: not intact: the trailer block is missing: nothing but zeros follows the end code at area "
         "offset 16922.\n--strip refuses this model.\n"},
        {"marked but no block", mb::build_sample_mdl(marked), "closest, the 1-light block, differs at its byte 0"},
        {"header length", mb::build_sample_mdl(header), "(its header length is 16, not 12)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RunOutcome r = report(c.model);
        EXPECT_EQ(r.exit_code, 0);
        EXPECT_NE(r.output.find(c.line), std::string::npos) << r.output;
    }
    EXPECT_NE(report(changed_block).output.find("No lights can be added: veska refuses a model that is not an "
                                                "unmodified MDL file.\n"),
              std::string::npos);

    const RunOutcome missing = run_inspect_in_process({dir_.file("none.mdl")});
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_EQ(missing.output, "Error opening file " + dir_.file("none.mdl") + ": No such file or directory\n");
}

}  // namespace

}  // namespace lumora
