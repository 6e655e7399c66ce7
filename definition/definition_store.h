// The stored definition file: one section per section kind, each a list of
// entries holding a key, the line it came from and its value as text.
// Values stay text until a computation asks for them.
#pragma once

#include <cstdint>

namespace lumora {

using KeyId = std::uint8_t;  // 0 ends a key table

struct DefinitionEntry {
    DefinitionEntry* next;
    KeyId key;
    std::uint32_t line;
    char* value;  // owned
};

struct DefinitionSection {
    DefinitionEntry* first;
    DefinitionEntry* last;
    char* header;          // owned copy of the header line, or null
    std::uint32_t defined;  // 1 once the section's lines have been read
};

enum : unsigned { MAIN_SECTION = 0, SECTION_COUNT = 4 };

// The results of add_entry.
enum : int { ENTRY_ADDED = 0, ENTRY_DUPLICATE = 1, ENTRY_NO_MEMORY = 2 };

// Stores a copy of value under key, read from the given line. Returns
// ENTRY_DUPLICATE (and stores nothing) when the section already holds the
// key, ENTRY_NO_MEMORY (storing nothing) when memory is exhausted.
int add_entry(DefinitionSection& section, KeyId key, const char* value, std::uint32_t line);

// The section's entry for key, or null.
DefinitionEntry* lookup_entry(const DefinitionSection& section, KeyId key);

// Frees the header text and every entry; the defined word stays.
void clear_section(DefinitionSection& section);

// Replaces the section's header text by a copy of text. 0, or 1 when memory
// is exhausted (the old header stays).
int set_section_header(DefinitionSection& section, const char* text);

// A heap copy of text, or null when memory is exhausted.
char* copy_text(const char* text);

}  // namespace lumora
