// The three prepared blocks of model code that carry one, two or three
// landing lights into the model, the places the filling writes in them, and
// the filling with the light records.
#pragma once

#include <cstdint>

#include "lights/light_geometry.h"

namespace lumora {

constexpr unsigned TEMPLATE_SIZE_MAX = 716;

// 16-bit little-endian words: the fixed part, one light test entry per light,
// a return, one light block per light and eight closing words.
struct CodeTemplate {
    std::uint8_t bytes[TEMPLATE_SIZE_MAX];
    std::uint16_t size;  // 188 + 176 * lights: 364, 540 or 716; 0 for no template
};

// Byte offsets inside the template for n lights, light i counted from 1.
constexpr unsigned light_test_offset(unsigned i) { return 170 + 12 * (i - 1); }
constexpr unsigned light_block_offset(unsigned n, unsigned i) { return 172 + 12 * n + 164 * (i - 1); }
constexpr unsigned template_size(unsigned n) { return 188 + 176 * n; }

// The fields that the filling writes for light i of n: its beam x, y, z in
// its light test entry, its scale and its 16 outline points x, y, z in its
// light block. Every other byte of a template is fixed.
constexpr unsigned beam_field_offset(unsigned i) { return light_test_offset(i) + 6; }
constexpr unsigned scale_field_offset(unsigned n, unsigned i) { return light_block_offset(n, i) + 12; }
constexpr unsigned outline_field_offset(unsigned n, unsigned i) { return light_block_offset(n, i) + 20; }

// The unfilled template for n lights (1 to 3); for any other n an empty
// template of size 0.
CodeTemplate code_template(unsigned n);

// Copies the beams, scales and outlines of records[0 .. n - 1] into block,
// which holds the template for n lights. Anything else (another n, another
// template) is left unchanged.
void fill_code_template(CodeTemplate& block, unsigned n, const LightRecord* records);

// The record of light i (1 to n) as the filling wrote it into the n-light
// block that begins at block: the inverse of fill_code_template.
LightRecord read_light_record(const std::uint8_t* block, unsigned n, unsigned i);

}  // namespace lumora
