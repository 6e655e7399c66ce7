#include "definition/definition_store.h"

#include <cstdlib>
#include <cstring>

namespace lumora {

char* copy_text(const char* text)
{
    const std::size_t length = std::strlen(text);
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (copy != nullptr) {
        std::memcpy(copy, text, length + 1);
    }
    return copy;
}

int add_entry(DefinitionSection& section, KeyId key, const char* value, std::uint32_t line)
{
    if (lookup_entry(section, key) != nullptr) {
        return ENTRY_DUPLICATE;
    }
    auto* entry = static_cast<DefinitionEntry*>(std::calloc(1, sizeof(DefinitionEntry)));
    char* value_copy = copy_text(value);
    if (entry == nullptr || value_copy == nullptr) {
        std::free(entry);
        std::free(value_copy);
        return ENTRY_NO_MEMORY;
    }
    entry->key = key;
    entry->value = value_copy;
    entry->line = line;
    if (section.first != nullptr) {
        section.last->next = entry;
    } else {
        section.first = entry;
    }
    section.last = entry;
    return ENTRY_ADDED;
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

int set_section_header(DefinitionSection& section, const char* text)
{
    char* copy = copy_text(text);
    if (copy == nullptr) {
        return 1;
    }
    std::free(section.header);
    section.header = copy;
    return 0;
}

}  // namespace lumora
