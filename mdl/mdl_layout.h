// The layout of the MDL files that are accepted: the fixed places of the PE
// image, the structural tests made in order, and the marks of a model code
// that no landing-light block has changed.
#pragma once

#include <cstdint>

#include "mdl/mdl_image.h"

namespace lumora {

constexpr std::uint32_t RESOURCE_RAW_OFFSET = 0xE00;
constexpr std::uint32_t RESOURCE_RAW_SIZE = 0x10800;
constexpr std::uint32_t RESOURCE_VIRTUAL_SIZE = 0x106F8;
constexpr std::uint32_t PE_RESOURCE_RVA_FIELD = 0x88;  // from the PE header
constexpr std::uint32_t PE_SECTION_TABLE = 248;        // from the PE header
constexpr std::uint32_t SECTION_ENTRY_SIZE = 40;

// The structural tests of the accepted layout, in the order they are made;
// the first one that fails decides.
enum class StructureCheck {
    ok = 0,
    no_mz_signature,       // no "MZ" at offset 0 (or fewer than 2 bytes)
    no_pe_offset,          // the file ends before the PE header offset at 0x3C
    no_pe_signature,       // no "PE" and two zero bytes at that offset (or outside the file)
    no_resource_address,   // the file ends before the resource table address
    section_table_outside, // the section count or the table it declares runs past the file's end
    no_resource_section,   // no section starts at or below the resource table address
    raw_offset,            // the resource section's raw data is not at 0xE00
    raw_size,              // ... is not 0x10800 bytes long
    virtual_address,       // ... does not start at the resource table address
    virtual_size,          // ... has not the virtual size 0x106F8
    code_area_outside,     // the file ends before the model-code area does
};

// The fields of the resource section's table entry that the accepted layout
// fixes, in the order they are tested. The virtual address must equal the
// resource table address, which the file itself gives.
struct ResourceField {
    std::uint32_t entry_offset;  // in the 40-byte section-table entry
    std::uint32_t required;      // the value it must hold (not used for the virtual address)
    StructureCheck failure;      // the test that fails when it differs
};
constexpr ResourceField RESOURCE_FIELDS[4] = {
    {20, RESOURCE_RAW_OFFSET, StructureCheck::raw_offset},
    {16, RESOURCE_RAW_SIZE, StructureCheck::raw_size},
    {12, 0, StructureCheck::virtual_address},
    {8, RESOURCE_VIRTUAL_SIZE, StructureCheck::virtual_size},
};

// The value field must hold in an entry examined for the resource table
// address resource_rva.
constexpr std::uint32_t required_value(const ResourceField& field, std::uint32_t resource_rva)
{
    return field.failure == StructureCheck::virtual_address ? resource_rva : field.required;
}

// The field of RESOURCE_FIELDS whose test is check (one of StructureCheck::raw_offset
// .. StructureCheck::virtual_size).
const ResourceField& resource_field(StructureCheck check);

// What the structural tests found. Fields after the failing test are zero.
struct StructureFindings {
    StructureCheck result;
    std::uint32_t pe_offset;
    std::uint32_t resource_rva;
    std::uint16_t section_count;
    const std::uint8_t* resource_section;  // the section-table entry examined, or null
};

// Runs the structural tests on the image's buffer. Reads nothing outside it.
StructureFindings check_structure(const MdlImage& image);

// The marks of an unmodified model code, in the order they are tested: the
// header length, and the two words that an inserted landing-light block
// changes (it carries 0x0023 at both places).
struct CodeMark {
    std::uint32_t area_offset;
    unsigned width;        // 4: a 32-bit word, 2: a 16-bit word
    std::uint32_t value;   // what an unmodified model code holds there
};
constexpr unsigned CODE_MARK_COUNT = 3;
constexpr CodeMark UNMODIFIED_MARKS[CODE_MARK_COUNT] = {{0, 4, 12}, {38, 2, 0x0023}, {42, 2, 0x003A}};

// The word a mark's place holds in the area.
std::uint32_t mark_word(const std::uint8_t* code_area, const CodeMark& mark);

// The index of the first mark that the area does not hold, or
// CODE_MARK_COUNT when it holds them all.
unsigned first_modified_mark(const std::uint8_t* code_area);

// True when the model-code area is as the simulator's tools leave it, false
// when it has been changed (for instance by an earlier run of this program).
[[nodiscard]] bool code_is_unmodified(const std::uint8_t* code_area);

}  // namespace lumora
