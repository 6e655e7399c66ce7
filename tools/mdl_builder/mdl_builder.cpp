#include "tools/mdl_builder/mdl_builder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace lumora {

namespace mdl_builder {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t TIME_STAMP = 0x5F3C2A10;
constexpr std::uint32_t IMAGE_BASE = 0x10000000;
constexpr std::uint32_t SECTION_ALIGNMENT = 0x1000;
constexpr std::uint32_t FILE_ALIGNMENT = 0x200;
constexpr std::uint32_t HEADERS_SIZE = 0x400;
constexpr std::uint32_t OPTIONAL_HEADER_AT = PE_HEADER_AT + 24;
constexpr std::uint32_t CHECKSUM_AT = OPTIONAL_HEADER_AT + 64;
constexpr std::uint32_t DATA_DIRECTORIES_AT = OPTIONAL_HEADER_AT + 96;

// Where the model data that the resource tree points at begins, relative to
// the resource section's start; the code area lies inside it.
constexpr std::uint32_t MODEL_DATA_IN_RESOURCE = 0x80;
constexpr std::uint32_t CODE_AREA_IN_RESOURCE = CODE_AREA_AT - RESOURCE_RAW_AT;  // 0x3F8

struct Section {
    char name[8];
    std::uint32_t virtual_size;
    std::uint32_t virtual_address;
    std::uint32_t raw_size;
    std::uint32_t raw_at;
    std::uint32_t characteristics;
};

constexpr Section TEXT_SECTION = {{'.', 't', 'e', 'x', 't'}, 0x0E, 0x1000, 0x800, 0x400, 0x60000020};
constexpr Section DATA_SECTION = {{'.', 'd', 'a', 't', 'a'}, 0x20, 0x2000, 0x200, 0xC00, 0xC0000040};
constexpr Section RESOURCE_SECTION = {
    {'.', 'r', 's', 'r', 'c'}, RESOURCE_VIRTUAL_SIZE, RESOURCE_RVA, RESOURCE_RAW_SIZE, RESOURCE_RAW_AT, 0x40000040};
constexpr Section RELOC_SECTION = {{'.', 'r', 'e', 'l', 'o', 'c'}, 0x0C, 0x14000, 0x200, 0x11600, 0x42000040};
constexpr std::uint32_t IMAGE_SIZE = 0x15000;

static_assert(RESOURCE_RAW_AT + RESOURCE_RAW_SIZE == RELOC_SECTION.raw_at, "sections are packed");
static_assert(RELOC_SECTION.raw_at + RELOC_SECTION.raw_size == NATURAL_FILE_SIZE, "the file ends with .reloc");
static_assert(CODE_AREA_END <= RESOURCE_RAW_AT + RESOURCE_VIRTUAL_SIZE, "the area lies in the resource data");

// A small deterministic generator for filler values.
struct Generator {
    std::uint32_t state;
};

std::uint32_t next_value(Generator& generator)
{
    generator.state = generator.state * 1664525u + 1013904223u;
    return generator.state >> 8;
}

void put_bytes(Bytes& bytes, std::uint32_t offset, const void* data, std::size_t count)
{
    std::memcpy(bytes.data() + offset, data, count);
}

// The MS-DOS header and a stub program that prints a line and ends.
void write_dos_stub(Bytes& bytes)
{
    put_le16(bytes, 0x00, 0x5A4D);
    put_le16(bytes, 0x02, 0x0090);  // bytes on the last page
    put_le16(bytes, 0x04, 0x0003);  // pages
    put_le16(bytes, 0x08, 0x0004);  // header paragraphs
    put_le16(bytes, 0x0C, 0xFFFF);  // most extra paragraphs
    put_le16(bytes, 0x10, 0x00B8);  // initial SP
    put_le16(bytes, 0x18, 0x0040);  // relocation table
    put_le32(bytes, PE_OFFSET_FIELD_AT, PE_HEADER_AT);
    static const std::uint8_t program[] = {
        0x0E,              // push cs
        0x1F,              // pop ds
        0xBA, 0x0E, 0x00,  // mov dx, message
        0xB4, 0x09,        // mov ah, 9 (print string)
        0xCD, 0x21,        // int 21h
        0xB8, 0x01, 0x4C,  // mov ax, 4C01h (end with code 1)
        0xCD, 0x21,        // int 21h
    };
    static const char message[] = "Aircraft model data; there is nothing to run.\r\n$";
    static_assert(0x40 + sizeof program + sizeof message <= PE_HEADER_AT, "the stub fits before the PE header");
    put_bytes(bytes, 0x40, program, sizeof program);
    put_bytes(bytes, 0x40 + sizeof program, message, sizeof message - 1);
}

void write_section_entry(Bytes& bytes, std::uint32_t at, const Section& section)
{
    put_bytes(bytes, at, section.name, sizeof section.name);
    put_le32(bytes, at + 8, section.virtual_size);
    put_le32(bytes, at + 12, section.virtual_address);
    put_le32(bytes, at + 16, section.raw_size);
    put_le32(bytes, at + 20, section.raw_at);
    put_le32(bytes, at + 36, section.characteristics);
}

void write_pe_headers(Bytes& bytes, const SampleOptions& options)
{
    const std::uint32_t p = PE_HEADER_AT;
    put_bytes(bytes, p, options.pe_signature, 4);
    put_le16(bytes, p + 4, 0x014C);  // i386
    put_le16(bytes, p + 6, SECTION_COUNT);
    put_le32(bytes, p + 8, TIME_STAMP);
    put_le16(bytes, p + 20, 224);
    put_le16(bytes, p + 22, 0x210E);  // executable, stripped, 32-bit, library

    const std::uint32_t o = OPTIONAL_HEADER_AT;
    put_le16(bytes, o + 0, 0x010B);  // PE32
    bytes[o + 2] = 6;                // linker version 6.0
    put_le32(bytes, o + 4, TEXT_SECTION.raw_size);
    put_le32(bytes, o + 8, DATA_SECTION.raw_size + RESOURCE_SECTION.raw_size + RELOC_SECTION.raw_size);
    put_le32(bytes, o + 16, TEXT_SECTION.virtual_address);  // entry point
    put_le32(bytes, o + 20, TEXT_SECTION.virtual_address);  // base of code
    put_le32(bytes, o + 24, DATA_SECTION.virtual_address);  // base of data
    put_le32(bytes, o + 28, IMAGE_BASE);
    put_le32(bytes, o + 32, SECTION_ALIGNMENT);
    put_le32(bytes, o + 36, FILE_ALIGNMENT);
    put_le16(bytes, o + 40, 4);  // operating system version 4.0
    put_le16(bytes, o + 44, 1);  // image version 1.0
    put_le16(bytes, o + 48, 4);  // subsystem version 4.0
    put_le32(bytes, o + 56, IMAGE_SIZE);
    put_le32(bytes, o + 60, HEADERS_SIZE);
    put_le16(bytes, o + 68, 2);  // graphical subsystem
    put_le32(bytes, o + 72, 0x100000);  // stack reserve
    put_le32(bytes, o + 76, 0x1000);    // stack commit
    put_le32(bytes, o + 80, 0x100000);  // heap reserve
    put_le32(bytes, o + 84, 0x1000);    // heap commit
    put_le32(bytes, o + 92, 16);        // data directories
    put_le32(bytes, DATA_DIRECTORIES_AT + 2 * 8, RESOURCE_RVA);
    put_le32(bytes, DATA_DIRECTORIES_AT + 2 * 8 + 4, RESOURCE_VIRTUAL_SIZE);
    put_le32(bytes, DATA_DIRECTORIES_AT + 5 * 8, RELOC_SECTION.virtual_address);
    put_le32(bytes, DATA_DIRECTORIES_AT + 5 * 8 + 4, RELOC_SECTION.virtual_size);

    Section resource = RESOURCE_SECTION;
    resource.raw_at = options.resource_raw_at_field.value_or(resource.raw_at);
    resource.raw_size = options.resource_raw_size_field.value_or(resource.raw_size);
    resource.virtual_address = options.resource_virtual_address_field.value_or(resource.virtual_address);
    resource.virtual_size = options.resource_virtual_size_field.value_or(resource.virtual_size);
    const Section table[SECTION_COUNT] = {
        TEXT_SECTION,
        options.data_entry_after_resource_entry ? resource : DATA_SECTION,
        options.data_entry_after_resource_entry ? DATA_SECTION : resource,
        RELOC_SECTION,
    };
    for (std::uint32_t i = 0; i < SECTION_COUNT; ++i) {
        write_section_entry(bytes, SECTION_TABLE_AT + SECTION_ENTRY_SIZE * i, table[i]);
    }
}

// A library entry point that returns 1, and a function that loads a value
// from .data, whose absolute address is what .reloc lists.
void write_text_and_data(Bytes& bytes)
{
    static const std::uint8_t code[] = {
        0xB8, 0x01, 0x00, 0x00, 0x00,  // mov eax, 1
        0xC2, 0x0C, 0x00,              // ret 12
        0xA1, 0x00, 0x20, 0x00, 0x10,  // mov eax, [10002000h]
        0xC3,                          // ret
    };
    static_assert(sizeof code == TEXT_SECTION.virtual_size, "the code fills .text's virtual size");
    put_bytes(bytes, TEXT_SECTION.raw_at, code, sizeof code);

    put_le32(bytes, DATA_SECTION.raw_at, 1);
    static const char name[] = "Lumora sample model";
    put_bytes(bytes, DATA_SECTION.raw_at + 4, name, sizeof name);

    const std::uint32_t reloc = RELOC_SECTION.raw_at;
    put_le32(bytes, reloc, TEXT_SECTION.virtual_address);
    put_le32(bytes, reloc + 4, RELOC_SECTION.virtual_size);
    put_le16(bytes, reloc + 8, 0x3000 | 0x009);  // 32-bit address at .text + 9
}

void write_directory(Bytes& bytes, std::uint32_t at, std::uint32_t id, std::uint32_t target)
{
    put_le16(bytes, at + 14, 1);  // one entry, by number
    put_le32(bytes, at + 16, id);
    put_le32(bytes, at + 20, target);
}

// The resource tree (type, name, language, data entry), the model data's
// description block, and the tables behind the code area.
void write_resource_data(Bytes& bytes)
{
    const std::uint32_t r = RESOURCE_RAW_AT;
    constexpr std::uint32_t SUBDIRECTORY = 0x80000000u;
    write_directory(bytes, r + 0x00, 0x0100, SUBDIRECTORY | 0x18);  // a program-defined type
    write_directory(bytes, r + 0x18, 0x0001, SUBDIRECTORY | 0x30);
    write_directory(bytes, r + 0x30, 0x0409, 0x48);
    put_le32(bytes, r + 0x48, RESOURCE_RVA + MODEL_DATA_IN_RESOURCE);
    put_le32(bytes, r + 0x4C, RESOURCE_VIRTUAL_SIZE - MODEL_DATA_IN_RESOURCE);

    const std::uint32_t d = r + MODEL_DATA_IN_RESOURCE;
    static const char title[] = "Lumora sample model";
    put_bytes(bytes, d, title, sizeof title);
    put_le32(bytes, d + 0x20, 1);  // version of the description
    put_le32(bytes, d + 0x24, CODE_AREA_IN_RESOURCE - MODEL_DATA_IN_RESOURCE);
    put_le32(bytes, d + 0x28, CODE_AREA_SIZE);
    put_le32(bytes, d + 0x2C, 18);    // bounding radius, metres
    put_le32(bytes, d + 0x30, 1100);  // wing span, centimetres
    put_le32(bytes, d + 0x34, 820);   // length, centimetres

    // Behind the area: a table of part positions, up to the virtual size.
    Generator generator{0x1234567u};
    for (std::uint32_t at = CODE_AREA_END; at + 2 <= r + RESOURCE_VIRTUAL_SIZE; at += 2) {
        put_le16(bytes, at, static_cast<std::uint16_t>(next_value(generator) % 4000));
    }
}

// The fixed start of the model code, from area offset 12: a few set-up
// instructions, then the two marks of an unmodified model at area offsets
// 38 and 42, each followed by an operand.
constexpr std::uint16_t CODE_START[] = {
    0x0039, 0x0001, 0x0100,          // code offset 0
    0x0017, 0x0028, 0x0014, 0x0020,  // 6
    0x0011, 0x00C8,                  // 14
    0x002A, 0x0006, 0xFFF0, 0x0010,  // 18
    MARK_38, 0x0008,                 // 26: area offset 38
    MARK_42, 0x0004,                 // 30: area offset 42
};
constexpr std::uint32_t CODE_START_BYTES = sizeof CODE_START;
static_assert(CODE_START_BYTES + 2 == 0xFFF4 - LARGEST_FREE_ROOM, "the shortest code is the fixed start and the end code");

struct Instruction {
    std::uint16_t opcode;
    std::uint16_t operands;
};

constexpr Instruction FILLER_INSTRUCTIONS[] = {
    {0x0005, 3}, {0x000F, 2}, {0x0018, 4}, {0x001D, 1}, {0x0029, 6}, {0x0033, 2},
};
constexpr std::uint16_t ONE_WORD_INSTRUCTION = 0x0002;

// Drawing instructions with small coordinates from area offset `from` up to
// (not including) `to`.
void write_filler_code(Bytes& bytes, std::uint32_t from, std::uint32_t to)
{
    Generator generator{0xC0FFEEu};
    std::uint32_t at = from;
    while (at < to) {
        const Instruction& instruction =
            FILLER_INSTRUCTIONS[next_value(generator) % (sizeof FILLER_INSTRUCTIONS / sizeof FILLER_INSTRUCTIONS[0])];
        const std::uint32_t length = 2u + 2u * instruction.operands;
        if (to - at < length) {
            put_le16(bytes, CODE_AREA_AT + at, ONE_WORD_INSTRUCTION);
            at += 2;
            continue;
        }
        put_le16(bytes, CODE_AREA_AT + at, instruction.opcode);
        for (std::uint32_t i = 0; i < instruction.operands; ++i) {
            const auto coordinate = static_cast<std::int32_t>(next_value(generator) % 4096) - 2048;
            put_le16(bytes, CODE_AREA_AT + at + 2 + 2 * i, static_cast<std::uint16_t>(coordinate & 0xFFFF));
        }
        at += length;
    }
}

void write_code_area(Bytes& bytes, const SampleOptions& options)
{
    std::uint32_t used = 0;  // U: the code's length from area offset 12
    if (options.code_stops_after_mark_42) {
        used = CODE_START_BYTES - 2;  // without the operand behind the second mark
    } else {
        used = 0xFFF4 - options.free_room;
    }
    put_le32(bytes, CODE_AREA_AT + 0, options.header_length);
    put_le32(bytes, CODE_AREA_AT + 4, options.length_word.value_or(used));
    put_le32(bytes, CODE_AREA_AT + 8, 1);
    for (std::uint32_t i = 0; 2 * i < used && i < sizeof CODE_START / 2; ++i) {
        put_le16(bytes, CODE_AREA_AT + CODE_HEADER_LENGTH + 2 * i, CODE_START[i]);
    }
    put_le16(bytes, CODE_AREA_AT + 38, options.word_38);
    put_le16(bytes, CODE_AREA_AT + 42, options.word_42);
    if (!options.code_stops_after_mark_42) {
        const std::uint32_t end = CODE_HEADER_LENGTH + used - 2;  // area offset of the end code
        write_filler_code(bytes, CODE_HEADER_LENGTH + CODE_START_BYTES, end);
        put_le16(bytes, CODE_AREA_AT + end, options.end_word);
    }
}

void apply_structure_options(Bytes& bytes, const SampleOptions& options)
{
    put_le16(bytes, 0, options.mz_signature);
    if (options.pe_offset_field) {
        put_le32(bytes, PE_OFFSET_FIELD_AT, *options.pe_offset_field);
    }
    if (options.section_count_field) {
        put_le16(bytes, PE_HEADER_AT + 6, *options.section_count_field);
    }
    put_le16(bytes, PE_HEADER_AT + 20, options.optional_header_size_field);
    if (options.resource_rva_field) {
        put_le32(bytes, DATA_DIRECTORIES_AT + 2 * 8, *options.resource_rva_field);
    }
}

// Bytes after the last section, for files longer than the natural size.
void append_extra_data(Bytes& bytes, std::uint32_t size)
{
    const std::size_t from = bytes.size();
    bytes.resize(size);
    Generator generator{0xA5A5A5u};
    for (std::size_t at = from; at < bytes.size(); ++at) {
        bytes[at] = static_cast<std::uint8_t>(next_value(generator));
    }
}

// The image checksum: the file's 16-bit words summed with end-around carry,
// the checksum field itself taken as zero, plus the file's length.
void write_checksum(Bytes& bytes)
{
    if (bytes.size() < CHECKSUM_AT + 4) {
        return;
    }
    put_le32(bytes, CHECKSUM_AT, 0);
    std::uint64_t sum = 0;
    for (std::size_t at = 0; at < bytes.size(); at += 2) {
        const std::uint32_t high = at + 1 < bytes.size() ? bytes[at + 1] : 0;
        sum += bytes[at] | (high << 8);
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    put_le32(bytes, CHECKSUM_AT, static_cast<std::uint32_t>(sum + bytes.size()));
}

void check_range(const Bytes& bytes, std::uint64_t offset, std::uint64_t count)
{
    if (offset > bytes.size() || bytes.size() - offset < count) {
        throw std::out_of_range("offset outside the built file");
    }
}

}  // namespace

std::vector<std::uint8_t> build_sample_mdl(const SampleOptions& options)
{
    if (!options.code_stops_after_mark_42) {
        if (options.free_room % 2 != 0 || options.free_room > LARGEST_FREE_ROOM) {
            throw std::invalid_argument("free room must be even and at most 65,488 bytes");
        }
        if (options.end_word == 0) {
            throw std::invalid_argument("the code's last word must not be zero");
        }
    }
    Bytes bytes(NATURAL_FILE_SIZE, 0);
    write_dos_stub(bytes);
    write_pe_headers(bytes, options);
    write_text_and_data(bytes);
    write_resource_data(bytes);
    write_code_area(bytes, options);
    apply_structure_options(bytes, options);
    const std::uint32_t size = options.file_size.value_or(NATURAL_FILE_SIZE);
    if (size > bytes.size()) {
        append_extra_data(bytes, size);
    } else {
        bytes.resize(size);
    }
    write_checksum(bytes);
    return bytes;
}

std::uint32_t section_table_end(const SampleOptions& options)
{
    return SECTION_TABLE_AT + SECTION_ENTRY_SIZE * options.section_count_field.value_or(SECTION_COUNT);
}

std::uint16_t get_le16(const std::vector<std::uint8_t>& bytes, std::uint64_t offset)
{
    check_range(bytes, offset, 2);
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::uint32_t get_le32(const std::vector<std::uint8_t>& bytes, std::uint64_t offset)
{
    check_range(bytes, offset, 4);
    return static_cast<std::uint32_t>(get_le16(bytes, offset)) |
           (static_cast<std::uint32_t>(get_le16(bytes, offset + 2)) << 16);
}

void put_le16(std::vector<std::uint8_t>& bytes, std::uint64_t offset, std::uint16_t value)
{
    check_range(bytes, offset, 2);
    bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void put_le32(std::vector<std::uint8_t>& bytes, std::uint64_t offset, std::uint32_t value)
{
    put_le16(bytes, offset, static_cast<std::uint16_t>(value & 0xFFFF));
    put_le16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

void write_bytes_to_file(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
    }
    const std::size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), file);
    const bool closed = std::fclose(file) == 0;
    if (written != bytes.size() || !closed) {
        throw std::runtime_error("cannot write " + path);
    }
}

}  // namespace mdl_builder

}  // namespace lumora
