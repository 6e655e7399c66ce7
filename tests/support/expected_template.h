// Test support: the landing-light code blocks as they must read, spelled out
// word by word from their layout, independently of how the program builds
// them, and filled by hand from given light records.
#pragma once

#include <cstdint>
#include <vector>

#include "lights/light_geometry.h"

namespace lumora {

// The values in which the three templates differ.
struct TemplateValues {
    unsigned lights;
    unsigned size;
    std::uint16_t transfers[4];  // distances at 56, 118, 140 and 162
    std::vector<std::uint16_t> entry_distances;
    std::vector<unsigned> beams_at;
    std::vector<unsigned> scales_at;
    std::vector<unsigned> outlines_at;
};

extern const TemplateValues TEMPLATE_VALUES[3];  // one, two and three lights

// The unfilled template, word by word and as little-endian bytes.
std::vector<std::uint16_t> expected_template_words(const TemplateValues& v);
std::vector<std::uint8_t> expected_template_bytes(const TemplateValues& v);

// The template for v.lights lights filled with records[0 .. v.lights - 1].
std::vector<std::uint8_t> expected_filled_template(const TemplateValues& v, const LightRecord* records);

// The trailer block's 250 plain bytes, as they must read: its text, then
// zero bytes.
std::vector<std::uint8_t> expected_trailer();

// Stores value's low 16 bits little-endian at offset.
void put_word(std::vector<std::uint8_t>& bytes, std::size_t offset, int value);

}  // namespace lumora
