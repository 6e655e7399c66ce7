#include "mdl/mdl_layout.h"

#include <algorithm>
#include <iterator>

#include "basics/le_words.h"

namespace lumora {

namespace {

constexpr std::uint16_t MZ_SIGNATURE = 0x5A4D;
constexpr std::uint32_t PE_SIGNATURE = 0x4550;
constexpr std::uint32_t PE_OFFSET_FIELD = 0x3C;

// True when the count bytes at offset lie wholly inside the image; computed in
// 64 bits so that no offset from the file can wrap.
bool inside(const MdlImage& image, std::uint64_t offset, std::uint64_t count)
{
    return offset + count <= image.size;
}

// The section-table entry that describes the resource section, or null: the
// entry nearest the end of the table (of count entries, wholly inside the
// image) whose virtual address is non-zero and not above resource_rva.
const std::uint8_t* find_resource_section(const MdlImage& image, std::uint32_t pe_offset, unsigned count,
                                          std::uint32_t resource_rva)
{
    for (unsigned i = count; i-- > 0;) {
        const std::uint8_t* entry = image.bytes() + pe_offset + PE_SECTION_TABLE + SECTION_ENTRY_SIZE * i;
        const std::uint32_t address = load_u32(entry + 12);
        if (address != 0 && address <= resource_rva) {
            return entry;
        }
    }
    return nullptr;
}

}  // namespace

std::uint32_t mark_word(const std::uint8_t* code_area, const CodeMark& mark)
{
    return mark.width == 4 ? load_u32(code_area + mark.area_offset) : load_u16(code_area + mark.area_offset);
}

unsigned first_modified_mark(const std::uint8_t* code_area)
{
    const auto modified = [code_area](const CodeMark& mark) { return mark_word(code_area, mark) != mark.value; };
    return static_cast<unsigned>(std::find_if(std::begin(UNMODIFIED_MARKS), std::end(UNMODIFIED_MARKS), modified) -
                                 std::begin(UNMODIFIED_MARKS));
}

bool code_is_unmodified(const std::uint8_t* code_area) { return first_modified_mark(code_area) == CODE_MARK_COUNT; }

const ResourceField& resource_field(StructureCheck check)
{
    const auto tested = [check](const ResourceField& field) { return field.failure == check; };
    const ResourceField* field = std::find_if(std::begin(RESOURCE_FIELDS), std::end(RESOURCE_FIELDS), tested);
    return field != std::end(RESOURCE_FIELDS) ? *field : RESOURCE_FIELDS[0];
}

StructureFindings check_structure(const MdlImage& image)
{
    StructureFindings found{};
    found.result = StructureCheck::no_mz_signature;
    if (!inside(image, 0, 2) || load_u16(image.bytes()) != MZ_SIGNATURE) {
        return found;
    }
    found.result = StructureCheck::no_pe_offset;
    if (!inside(image, PE_OFFSET_FIELD, 4)) {
        return found;
    }
    found.pe_offset = load_u32(image.bytes() + PE_OFFSET_FIELD);
    found.result = StructureCheck::no_pe_signature;
    if (!inside(image, found.pe_offset, 4) || load_u32(image.bytes() + found.pe_offset) != PE_SIGNATURE) {
        return found;
    }
    found.result = StructureCheck::no_resource_address;
    if (!inside(image, std::uint64_t{found.pe_offset} + PE_RESOURCE_RVA_FIELD, 4)) {
        return found;
    }
    found.resource_rva = load_u32(image.bytes() + found.pe_offset + PE_RESOURCE_RVA_FIELD);
    // A table that runs past the file's end is no section table: the walk
    // starts at its last entry.
    found.result = StructureCheck::section_table_outside;
    if (!inside(image, std::uint64_t{found.pe_offset} + 6, 2)) {
        return found;
    }
    found.section_count = load_u16(image.bytes() + found.pe_offset + 6);
    if (!inside(image, std::uint64_t{found.pe_offset} + PE_SECTION_TABLE,
                std::uint64_t{SECTION_ENTRY_SIZE} * found.section_count)) {
        return found;
    }
    found.result = StructureCheck::no_resource_section;
    const std::uint8_t* section = find_resource_section(image, found.pe_offset, found.section_count, found.resource_rva);
    if (section == nullptr) {
        return found;
    }
    found.resource_section = section;
    for (const ResourceField& field : RESOURCE_FIELDS) {
        if (load_u32(section + field.entry_offset) != required_value(field, found.resource_rva)) {
            found.result = field.failure;
            return found;
        }
    }
    found.result = StructureCheck::code_area_outside;
    if (!inside(image, MODEL_CODE_OFFSET, MODEL_CODE_SIZE)) {
        return found;
    }
    found.result = StructureCheck::ok;
    return found;
}

}  // namespace lumora
