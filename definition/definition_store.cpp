#include "definition/definition_store.h"

#include <algorithm>

namespace lumora {

bool add_entry(DefinitionSection& section, KeyId key, std::string value, std::uint32_t line)
{
    if (lookup_entry(section, key) != nullptr) {
        return false;
    }
    if (section.entries.empty()) {
        // Room for a light section's eight keys at once, so that the list
        // is not moved while it grows.
        section.entries.reserve(8);
    }
    section.entries.push_back({key, line, std::move(value)});
    return true;
}

const DefinitionEntry* lookup_entry(const DefinitionSection& section, KeyId key)
{
    const auto& entries = section.entries;
    const auto found = std::find_if(entries.begin(), entries.end(), [key](const DefinitionEntry& e) { return e.key == key; });
    return found != entries.end() ? &*found : nullptr;
}

}  // namespace lumora
