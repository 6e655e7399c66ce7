// The MDL file held whole in memory, and the validation that decides whether
// it is a model this program can give landing lights.
#pragma once

#include <cstddef>
#include <cstdint>

struct MdlImage {
    std::uint8_t* buffer;     // the whole file, exactly size bytes; owned
    std::uint32_t size;       // the file's length in bytes
    std::uint8_t* code_area;  // buffer + MODEL_CODE_OFFSET once accepted, else null
};

// Fixed places of the layout that is accepted.
constexpr std::uint32_t MODEL_CODE_OFFSET = 0x11F8;   // file offset of the model-code area
constexpr std::uint32_t MODEL_CODE_SIZE = 0x10000;    // the area's length in bytes
constexpr std::uint32_t MODEL_CODE_END = MODEL_CODE_OFFSET + MODEL_CODE_SIZE;  // 70,136
constexpr std::uint32_t RESOURCE_RAW_OFFSET = 0xE00;
constexpr std::uint32_t RESOURCE_RAW_SIZE = 0x10800;
constexpr std::uint32_t RESOURCE_VIRTUAL_SIZE = 0x106F8;
constexpr std::uint32_t PE_RESOURCE_RVA_FIELD = 0x88;  // from the PE header
constexpr std::uint32_t PE_SECTION_TABLE = 248;        // from the PE header
constexpr std::uint32_t SECTION_ENTRY_SIZE = 40;

// Reads and validates the named MDL file into run_state.image. 0 on success;
// 1 after printing one message, with no image left behind.
int load_mdl(const char* name);

// Reads the named file whole into run_state.image without testing anything
// (the code area stays null). 0 on success; 1 after printing one message,
// with no image left behind.
int read_mdl_file(const char* name);

// The structural tests of the accepted layout, in the order they are made;
// the first one that fails decides.
enum StructureCheck : int {
    STRUCTURE_OK = 0,
    STRUCTURE_NO_MZ_SIGNATURE,       // no "MZ" at offset 0 (or fewer than 2 bytes)
    STRUCTURE_NO_PE_OFFSET,          // the file ends before the PE header offset at 0x3C
    STRUCTURE_NO_PE_SIGNATURE,       // no "PE" and two zero bytes at that offset (or outside the file)
    STRUCTURE_NO_RESOURCE_ADDRESS,   // the file ends before the resource table address
    STRUCTURE_SECTION_TABLE_OUTSIDE, // the section count or the table it declares runs past the file's end
    STRUCTURE_NO_RESOURCE_SECTION,   // no section starts at or below the resource table address
    STRUCTURE_RAW_OFFSET,            // the resource section's raw data is not at 0xE00
    STRUCTURE_RAW_SIZE,              // ... is not 0x10800 bytes long
    STRUCTURE_VIRTUAL_ADDRESS,       // ... does not start at the resource table address
    STRUCTURE_VIRTUAL_SIZE,          // ... has not the virtual size 0x106F8
    STRUCTURE_CODE_AREA_OUTSIDE,     // the file ends before the model-code area does
};

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

// The section-table entry that describes the resource section, or null: the
// entry nearest the end of the table whose virtual address is non-zero and
// not above resource_rva. Null as well when the section count or the table
// of that many entries does not lie wholly inside the image: the walk starts
// at the last entry, so a table cut short cannot be read.
const std::uint8_t* find_resource_section(const MdlImage& image, std::uint32_t pe_offset,
                                          std::uint32_t resource_rva);

// 0 when the model-code area is as the simulator's tools leave it, 1 when it
// has been changed (for instance by an earlier run of this program).
int check_unmodified(const std::uint8_t* code_area);

// Frees the image and empties the definition store. Safe to call any number
// of times.
void release_all();
