#include "inspect/structure_check.h"

#include "basics/le_words.h"
#include "basics/messages.h"
#include "lights/code_templates.h"
#include "mdl/insertion.h"

namespace lumora {

Step read_model(Diagnostics& diagnostics, FileSystem& files, MdlImage& image, const std::string& name,
                StructureFindings* findings)
{
    if (read_mdl_file(diagnostics, files, image, name) != Step::done) {
        return Step::reported;
    }
    *findings = check_structure(image);
    if (findings->result == StructureCheck::ok) {
        image.code_area = image.bytes() + MODEL_CODE_OFFSET;
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
        return {MessageId::layout_no_mz, 0, {std::uint32_t{load_u16(image.bytes())}}};
    case StructureCheck::no_pe_offset:
        return {MessageId::layout_no_pe_offset, 0, {length}};
    case StructureCheck::no_pe_signature: {
        if (pe + 4 > image.size) {
            return {MessageId::layout_pe_outside, 0, {pe, length}};
        }
        const std::uint8_t* p = image.bytes() + f.pe_offset;
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

// Which mark of an unmodified model code the area no longer has, and what
// the block at its start is: the subjects of MessageId::insertion_modified.
std::vector<Subject> modification(const std::uint8_t* code_area, const BlockMatch& block)
{
    const unsigned index = first_modified_mark(code_area);
    const CodeMark& mark = UNMODIFIED_MARKS[index < CODE_MARK_COUNT ? index : CODE_MARK_COUNT - 1];
    const std::uint8_t* code = code_area + CODE_HEADER_LENGTH;
    const bool differs = block.verdict == BlockVerdict::fixed_byte_differs;
    const std::uint32_t found_byte = differs ? code[block.difference] : 0;
    const std::uint32_t block_byte = differs ? code_template(block.lights).bytes[block.difference] : 0;
    const std::uint32_t scale = block.verdict == BlockVerdict::scale_out_of_range
                                    ? load_u16(code + scale_field_offset(block.lights, block.light))
                                    : 0;
    return {mark.width != 4, std::uint32_t{mark_word(code_area, mark)}, mark.value, mark.area_offset, block.verdict,
            block.lights, block.difference, block.difference + CODE_HEADER_LENGTH, found_byte, block_byte,
            block.light, scale};
}

Message insertion_words(const std::uint8_t* code_area, const InsertionLayout& layout)
{
    switch (layout.problem) {
    case InsertionProblem::complete:
        return {MessageId::insertion_complete, 0, {layout.block.lights, layout.code_length}};
    case InsertionProblem::unmodified:
        return {MessageId::insertion_unmodified, 0, {}};
    case InsertionProblem::no_block:
        return {MessageId::insertion_modified, 0, modification(code_area, layout.block)};
    case InsertionProblem::no_trailer:
        return {MessageId::insertion_no_trailer, 0, {layout.trailer_at - 4}};
    case InsertionProblem::trailer_damaged: {
        if (layout.trailer_at == 0) {
            return {MessageId::insertion_trailer_too_short, 0, {}};
        }
        if (layout.trailer_at + layout.trailer_difference >= MODEL_CODE_SIZE) {
            return {MessageId::insertion_trailer_past_end, 0, {layout.trailer_at}};
        }
        const std::array<std::uint8_t, TRAILER_SIZE> trailer = plain_trailer();
        const std::uint32_t at = layout.trailer_at + layout.trailer_difference;
        return {MessageId::insertion_trailer_damaged, 0,
                {layout.trailer_at, layout.trailer_difference, at, std::uint32_t{code_area[at]},
                 std::uint32_t{trailer[layout.trailer_difference]}}};
    }
    case InsertionProblem::no_zero_word:
        return {MessageId::insertion_no_zero_word, 0, {layout.trailer_at - 2, std::uint32_t{layout.found_word}}};
    case InsertionProblem::no_end_code:
        return {MessageId::insertion_no_end_code, 0, {layout.trailer_at - 4, std::uint32_t{layout.found_word}}};
    case InsertionProblem::not_restorable: {
        const CodeMark& mark = UNMODIFIED_MARKS[layout.restored_failure < CODE_MARK_COUNT ? layout.restored_failure : 0];
        return {MessageId::insertion_not_restorable, 0, {mark.width != 4, mark.area_offset}};
    }
    }
    return {MessageId::insertion_unknown, 0, {}};
}

}  // namespace

std::string describe_structure_fault(const MdlImage& image, const StructureFindings& f)
{
    return f.result == StructureCheck::ok ? std::string() : message_body(structure_fault(image, f));
}

std::string describe_insertion(const std::uint8_t* code_area, const InsertionLayout& layout)
{
    return message_body(insertion_words(code_area, layout));
}

}  // namespace lumora
