#include "inspect/structure_check.h"


#include "basics/messages.h"
#include "basics/le_words.h"

namespace lumora {


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

namespace {

// The message that words the failing test with the values it found.
Message structure_fault(const MdlImage& image, const StructureFindings& f)
{
    const std::uint32_t length = image.size;
    // Offsets behind the PE header's in 64 bits, so that none wraps.
    const std::uint64_t pe = f.pe_offset;
    const std::uint32_t sections = f.section_count;
    switch (f.result) {
    case StructureCheck::ok:
        break;
    case StructureCheck::no_mz_signature:
        if (image.size < 2) {
            return {MessageId::layout_too_short, 0, {length}};
        }
        return {MessageId::layout_no_mz, 0, {std::uint32_t{load_u16(image.buffer.get())}}};
    case StructureCheck::no_pe_offset:
        return {MessageId::layout_no_pe_offset, 0, {length}};
    case StructureCheck::no_pe_signature: {
        if (pe + 4 > image.size) {
            return {MessageId::layout_pe_outside, 0, {pe, length}};
        }
        const std::uint8_t* p = image.buffer.get() + f.pe_offset;
        return {MessageId::layout_no_pe_signature, 0,
                {pe, std::uint32_t{p[0]}, std::uint32_t{p[1]}, std::uint32_t{p[2]}, std::uint32_t{p[3]}}};
    }
    case StructureCheck::no_resource_address:
        return {MessageId::layout_no_resource_address, 0, {length, pe + PE_RESOURCE_RVA_FIELD}};
    case StructureCheck::section_table_outside:
        if (pe + 8 > image.size) {
            return {MessageId::layout_no_section_count, 0, {length, pe + 6}};
        }
        return {MessageId::layout_section_table_outside, 0, {sections, pe + PE_SECTION_TABLE, length}};
    case StructureCheck::no_resource_section:
        if (f.section_count == 0) {
            return {MessageId::layout_no_sections, 0, {}};
        }
        return {MessageId::layout_no_resource_section, 0, {sections, f.resource_rva}};
    case StructureCheck::raw_offset:
    case StructureCheck::raw_size:
    case StructureCheck::virtual_address:
    case StructureCheck::virtual_size: {
        const ResourceField& field = resource_field(f.result);
        const std::uint32_t found = load_u32(f.resource_section + field.entry_offset);
        const std::uint32_t required = required_value(field, f.resource_rva);
        const MessageId id = f.result == StructureCheck::raw_offset  ? MessageId::layout_raw_offset
                             : f.result == StructureCheck::raw_size ? MessageId::layout_raw_size
                             : f.result == StructureCheck::virtual_address ? MessageId::layout_virtual_address
                                                                           : MessageId::layout_virtual_size;
        return {id, 0, {found, required}};
    }
    case StructureCheck::code_area_outside:
        return {MessageId::layout_code_area_outside, 0,
                {length, std::uint32_t{MODEL_CODE_OFFSET}, std::uint32_t{MODEL_CODE_END}}};
    }
    return {MessageId::layout_unknown, 0, {}};
}

}  // namespace

std::string describe_structure_fault(const MdlImage& image, const StructureFindings& f)
{
    return f.result == StructureCheck::ok ? std::string() : message_body(structure_fault(image, f));
}

}  // namespace lumora
