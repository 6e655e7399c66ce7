// The stored definition file: one section per section kind, each a list of
// entries holding a key, the line it came from and its value as text.
// Values stay text until a computation asks for them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumora {

// The identity of a definition key. Two names may share one: NoseGearDist
// and TailGearDist are one parameter, and so are the two heights.
enum class KeyId : std::uint8_t {
    lights = 1,
    pitch = 2,
    other_gear_dist = 3,    // NoseGearDist or TailGearDist
    other_gear_height = 4,  // NoseGearHeight or TailGearHeight
    main_gear_dist = 5,
    main_gear_height = 6,
    direction = 7,
    lat_offset = 8,
    lon_offset = 9,
    z_offset = 10,
    max_range = 11,
    spot_width = 12,
    spot_depth = 13,
};

struct DefinitionEntry {
    KeyId key;
    std::uint32_t line;  // the line it was read from
    std::string value;   // as the reader cut it from the line
};

struct DefinitionSection {
    std::vector<DefinitionEntry> entries;  // in the order they were read, one per key
    std::string header;                    // the header line as written, without its line end; empty before
    std::uint32_t header_line = 0;         // the line of the first header that named the section
    bool defined = false;                  // true once the section's lines have been read
};

constexpr unsigned MAIN_SECTION = 0;
constexpr unsigned SECTION_COUNT = 4;  // [Main], [Light 1] .. [Light 3]

// Stores value under key, read from the given line. False (and nothing
// stored) when the section already holds the key.
[[nodiscard]] bool add_entry(DefinitionSection& section, KeyId key, std::string value, std::uint32_t line);

// The section's entry for key, or null.
const DefinitionEntry* lookup_entry(const DefinitionSection& section, KeyId key);

}  // namespace lumora
