// Test support: records of the program that own memory, freed when the test
// is done with them.
#pragma once

#include "definition/definition.h"

namespace lumora {

struct OwnedSection {
    DefinitionSection section{};
    OwnedSection() = default;
    OwnedSection(const OwnedSection&) = delete;
    OwnedSection& operator=(const OwnedSection&) = delete;
    ~OwnedSection() { clear_section(section); }
};

struct OwnedDefinition {
    Definition definition{};
    OwnedDefinition() = default;
    OwnedDefinition(const OwnedDefinition&) = delete;
    OwnedDefinition& operator=(const OwnedDefinition&) = delete;
    ~OwnedDefinition() { release_definition(definition); }
};

}  // namespace lumora
