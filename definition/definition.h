// Everything one run takes from its definition file: the stored sections,
// the number of lights and the ground geometry worked out from [Main].
#pragma once

#include <cstdint>

#include "definition/definition_store.h"
#include "definition/ground_pitch.h"

namespace lumora {

struct Definition {
    std::uint32_t light_count;                  // from Lights, 0 until [Main] has been read
    DefinitionSection sections[SECTION_COUNT];  // [Main], [Light 1] .. [Light 3]
    GroundGeometry ground;
};

// Frees every section's header text and entries; the defined words, the
// number of lights and the ground geometry stay. Safe to call again.
void release_definition(Definition& definition);

}  // namespace lumora
