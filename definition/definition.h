// Everything one run takes from its definition file: its lines, the stored
// sections, the number of lights and the ground geometry worked out from
// [Main].
#pragma once

#include <array>
#include <cstdint>

#include "definition/definition_store.h"
#include "definition/definition_text.h"
#include "definition/ground_pitch.h"

namespace lumora {

struct Definition {
    std::uint32_t light_count = 0;  // from Lights, 0 until [Main] has been read
    std::array<DefinitionSection, SECTION_COUNT> sections;  // [Main], [Light 1] .. [Light 3]
    GroundGeometry ground;
    SourceLines lines;  // the file's lines as the reader read them
    std::uint32_t lines_read = 0;  // how many of them the reader got to (it stops early at a fault that ends reading)
    TextEncoding encoding = TextEncoding::plain;
};

}  // namespace lumora
