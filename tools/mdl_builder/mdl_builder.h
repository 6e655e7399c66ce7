// Builds sample MDL files: a small 32-bit PE image whose resource section
// holds the 65,536-byte model-code area at file offset 0x11F8. The default is
// a file the program accepts; the options bend single fields so that tests
// can check every refusal. Same options, same bytes.
//
// This is a development tool, independent of the program's own code: it
// keeps its own copy of the layout so that a fault in the program's constants
// is not hidden by sharing them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumora {

namespace mdl_builder {

// The layout of the default file.
constexpr std::uint32_t PE_HEADER_AT = 0x80;          // where the PE header is written
constexpr std::uint32_t PE_OFFSET_FIELD_AT = 0x3C;    // where the file names it
constexpr std::uint32_t SECTION_TABLE_AT = PE_HEADER_AT + 248;
constexpr std::uint16_t SECTION_COUNT = 4;            // .text .data .rsrc .reloc
constexpr std::uint32_t SECTION_ENTRY_SIZE = 40;
constexpr std::uint32_t RESOURCE_SECTION_INDEX = 2;   // in table order, by default
constexpr std::uint32_t RESOURCE_RVA = 0x3000;
constexpr std::uint32_t RESOURCE_RAW_AT = 0xE00;
constexpr std::uint32_t RESOURCE_RAW_SIZE = 0x10800;
constexpr std::uint32_t RESOURCE_VIRTUAL_SIZE = 0x106F8;
constexpr std::uint32_t CODE_AREA_AT = 0x11F8;        // 1016 bytes into the resource data
constexpr std::uint32_t CODE_AREA_SIZE = 0x10000;
constexpr std::uint32_t CODE_AREA_END = CODE_AREA_AT + CODE_AREA_SIZE;  // 70,136
constexpr std::uint32_t NATURAL_FILE_SIZE = 0x11800;  // the last section's raw data ends here

// The model code: header of three 32-bit words, then 16-bit words from area
// offset 12. The words at area offsets 38 and 42 mark an unmodified model.
constexpr std::uint32_t CODE_HEADER_LENGTH = 12;
constexpr std::uint16_t END_CODE = 0x0022;
constexpr std::uint16_t MARK_38 = 0x0023;
constexpr std::uint16_t MARK_42 = 0x003A;
// The fixed start of the code ends at area offset 46; with the end code the
// shortest code is 36 bytes, so the free room is at most 0xFFF4 - 36.
constexpr std::uint32_t LARGEST_FREE_ROOM = 0xFFF4 - 36;
constexpr std::uint32_t DEFAULT_FREE_ROOM = 0xC000;   // 49,152 bytes; the code is 16,372 bytes
// The free room when the code stops right after the word at area offset 42.
constexpr std::uint32_t FREE_ROOM_AFTER_MARK_42 = 0xFFFE - 42;

struct SampleOptions {
    // The model code. free_room is F: the zero bytes that end the area, even,
    // at most LARGEST_FREE_ROOM. The code's last word (the end code) is
    // end_word, which must not be zero.
    std::uint32_t free_room = DEFAULT_FREE_ROOM;
    std::uint16_t end_word = END_CODE;
    // Nothing but zeros behind the word at area offset 42: the code is the
    // fixed start alone and has no end code (free_room and end_word unused).
    bool code_stops_after_mark_42 = false;
    std::uint32_t header_length = CODE_HEADER_LENGTH;
    std::uint16_t word_38 = MARK_38;
    std::uint16_t word_42 = MARK_42;  // MARK_38 here: as an inserted block leaves it
    std::optional<std::uint32_t> length_word;  // default: the code's length U

    // The file structure. Unset optionals keep the consistent value.
    std::uint16_t mz_signature = 0x5A4D;
    std::optional<std::uint32_t> pe_offset_field;  // value at 0x3C; the header stays at 0x80
    std::uint8_t pe_signature[4] = {'P', 'E', 0, 0};
    std::optional<std::uint16_t> section_count_field;
    std::uint16_t optional_header_size_field = 224;
    std::optional<std::uint32_t> resource_rva_field;  // data directory entry 2
    std::optional<std::uint32_t> resource_raw_at_field;
    std::optional<std::uint32_t> resource_raw_size_field;
    std::optional<std::uint32_t> resource_virtual_address_field;
    std::optional<std::uint32_t> resource_virtual_size_field;
    // Lists the .data section (virtual address below the resource section's)
    // after the resource section in the table, so that a walk from the
    // table's end meets .data first. The sections' places are unchanged.
    bool data_entry_after_resource_entry = false;

    // The file's length: unset gives NATURAL_FILE_SIZE; shorter cuts the
    // file; longer appends deterministic extra data after the last section.
    std::optional<std::uint32_t> file_size;
};

// The whole file. Throws std::invalid_argument for options it cannot build
// (odd or too large free room, zero end word).
std::vector<std::uint8_t> build_sample_mdl(const SampleOptions& options = SampleOptions{});

// The file offset just behind the section table as the built file declares
// it (the section count field times 40 bytes after the table's start).
std::uint32_t section_table_end(const SampleOptions& options = SampleOptions{});

// Little-endian access to a built file. Throws std::out_of_range when the
// value does not lie wholly inside bytes.
std::uint16_t get_le16(const std::vector<std::uint8_t>& bytes, std::uint64_t offset);
std::uint32_t get_le32(const std::vector<std::uint8_t>& bytes, std::uint64_t offset);
void put_le16(std::vector<std::uint8_t>& bytes, std::uint64_t offset, std::uint16_t value);
void put_le32(std::vector<std::uint8_t>& bytes, std::uint64_t offset, std::uint32_t value);

// Writes bytes to path, replacing the file. Throws std::runtime_error on any
// failure.
void write_bytes_to_file(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace mdl_builder

}  // namespace lumora
