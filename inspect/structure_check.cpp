#include "inspect/structure_check.h"


#include "basics/formatted.h"
#include "basics/le_words.h"

namespace lumora {

namespace {

// The value of the resource section's field that check tests, and the value
// it must hold.
void resource_values(const StructureFindings& f, StructureCheck check, unsigned long* found, unsigned long* required)
{
    const ResourceField& field = resource_field(check);
    *found = load_u32(f.resource_section + field.entry_offset);
    *required = required_value(field, f.resource_rva);
}

}  // namespace

Step read_model(Diagnostics& diagnostics, FileSystem& files, MdlImage& image, const std::string& name,
                StructureFindings* findings)
{
    if (read_mdl_file(diagnostics, files, image, name) != Step::done) {
        return Step::reported;
    }
    *findings = check_structure(image);
    if (findings->result == StructureCheck::ok) {
        image.code_area = image.buffer.get() + MODEL_CODE_OFFSET;
    }
    return Step::done;
}

void describe_structure_fault(const MdlImage& image, const StructureFindings& f, std::string& text)
{
    const unsigned long length = image.size;
    const unsigned long pe = f.pe_offset;
    switch (f.result) {
    case StructureCheck::ok:
        text = "";
        return;
    case StructureCheck::no_mz_signature:
        if (image.size < 2) {
            text = formatted("the file is %lu byte%s long, too short for the \"MZ\" signature", length,
                          length == 1 ? "" : "s");
        } else {
            text = formatted("the file does not begin with the \"MZ\" signature (its first word is 0x%04X)",
                          static_cast<unsigned>(load_u16(image.buffer.get())));
        }
        return;
    case StructureCheck::no_pe_offset:
        text = formatted("the file (%lu bytes) ends before the PE header offset at 0x3C", length);
        return;
    case StructureCheck::no_pe_signature:
        if (static_cast<std::uint64_t>(f.pe_offset) + 4 > image.size) {
            text = formatted("the PE header offset 0x%lX points outside the file (%lu bytes)", pe, length);
        } else {
            const std::uint8_t* p = image.buffer.get() + f.pe_offset;
            text = formatted("no \"PE\" signature with two zero bytes at the PE header offset 0x%lX "
                          "(found the bytes %02X %02X %02X %02X)",
                          pe, p[0], p[1], p[2], p[3]);
        }
        return;
    case StructureCheck::no_resource_address:
        text = formatted("the file (%lu bytes) ends before the resource table address at 0x%lX (PE header + 0x88)",
                      length, pe + PE_RESOURCE_RVA_FIELD);
        return;
    case StructureCheck::section_table_outside:
        if (static_cast<std::uint64_t>(f.pe_offset) + 8 > image.size) {
            text = formatted("the file (%lu bytes) ends before the section count at 0x%lX", length, pe + 6);
        } else {
            text = formatted("the section table of %u entries at 0x%lX runs past the file's end (%lu bytes)",
                          static_cast<unsigned>(f.section_count), pe + PE_SECTION_TABLE, length);
        }
        return;
    case StructureCheck::no_resource_section:
        if (f.section_count == 0) {
            text = "the section table has no entries, so no section holds the resources";
        } else {
            text = formatted("none of the %u sections starts at a non-zero address at or below the resource table "
                          "address 0x%lX",
                          static_cast<unsigned>(f.section_count), static_cast<unsigned long>(f.resource_rva));
        }
        return;
    case StructureCheck::raw_offset:
    case StructureCheck::raw_size:
    case StructureCheck::virtual_address:
    case StructureCheck::virtual_size: {
        const char* const formats[] = {
            "the resource section's raw data lies at file offset 0x%lX, not at 0x%lX",
            "the resource section's raw data is 0x%lX bytes long, not 0x%lX",
            ("the section examined for the resources starts at the address 0x%lX, not at the resource table "
             "address 0x%lX"),
            "the resource section's virtual size is 0x%lX, not 0x%lX",
        };
        unsigned long found = 0;
        unsigned long required = 0;
        resource_values(f, f.result, &found, &required);
        text = formatted(formats[static_cast<int>(f.result) - static_cast<int>(StructureCheck::raw_offset)], found, required);
        return;
    }
    case StructureCheck::code_area_outside:
        text = formatted("the file (%lu bytes) ends before the end of the model-code area (file offset 0x%lX + "
                      "65536 = %lu bytes)",
                      length, static_cast<unsigned long>(MODEL_CODE_OFFSET),
                      static_cast<unsigned long>(MODEL_CODE_END));
        return;
    }
    text = "an unknown structural test failed";
}

}  // namespace lumora
