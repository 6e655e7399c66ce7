#include "definition/definition_store.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "driver/console.h"
#include "driver/run_state.h"

namespace {

// The store has no way to go on without memory for a text it must keep: end
// the run in an orderly way rather than keep a half-stored definition.
[[noreturn]] void out_of_memory()
{
    console_write("Out of memory.\n");
    std::fflush(nullptr);
    std::exit(1);
}

}  // namespace

char* copy_text(const char* text)
{
    const std::size_t length = std::strlen(text);
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (copy != nullptr) {
        std::memcpy(copy, text, length + 1);
    }
    return copy;
}

int add_entry(DefinitionSection& section, KeyId key, const char* value)
{
    if (lookup_entry(section, key) != nullptr) {
        return 1;
    }
    auto* entry = static_cast<DefinitionEntry*>(std::calloc(1, sizeof(DefinitionEntry)));
    char* value_copy = copy_text(value);
    if (entry == nullptr || value_copy == nullptr) {
        std::free(entry);
        std::free(value_copy);
        out_of_memory();
    }
    entry->key = key;
    entry->value = value_copy;
    entry->line = run_state.line_counter;
    if (section.first != nullptr) {
        section.last->next = entry;
    } else {
        section.first = entry;
    }
    section.last = entry;
    return 0;
}

DefinitionEntry* lookup_entry(const DefinitionSection& section, KeyId key)
{
    for (DefinitionEntry* entry = section.first; entry != nullptr; entry = entry->next) {
        if (entry->key == key) {
            return entry;
        }
    }
    return nullptr;
}

void clear_section(DefinitionSection& section)
{
    if (section.header != nullptr) {
        std::free(section.header);
        section.header = nullptr;
    }
    while (section.first != nullptr) {
        DefinitionEntry* entry = section.first;
        section.first = entry->next;
        std::free(entry->value);
        std::free(entry);
    }
    section.last = nullptr;
}

void set_section_header(DefinitionSection& section, const char* text)
{
    char* copy = copy_text(text);
    if (copy == nullptr) {
        out_of_memory();
    }
    std::free(section.header);
    section.header = copy;
}
