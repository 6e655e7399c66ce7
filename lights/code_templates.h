// The three prepared blocks of model code that carry one, two or three
// landing lights into the model, and their filling with the light records.
#pragma once

#include <cstdint>

constexpr unsigned TEMPLATE_SIZE_MAX = 716;

// 16-bit little-endian words: the fixed part, one light test entry per light,
// a return, one light block per light and eight closing words.
struct CodeTemplate {
    std::uint8_t bytes[TEMPLATE_SIZE_MAX];
    std::uint16_t size;  // 188 + 176 * lights: 364, 540 or 716
};

// Byte offsets inside the template for n lights, light i counted from 1.
constexpr unsigned light_test_offset(unsigned i) { return 170 + 12 * (i - 1); }
constexpr unsigned light_block_offset(unsigned n, unsigned i) { return 172 + 12 * n + 164 * (i - 1); }
constexpr unsigned template_size(unsigned n) { return 188 + 176 * n; }

// The template for n lights (1 to 3). Any other n is a programming error and
// ends the program.
const CodeTemplate& code_template(unsigned n);

// Copies the beams, scales and outlines of lights 1 .. n into template n
// (n 1 to 3; any other n is a programming error and ends the program).
void fill_code_template(unsigned n);

// All three templates back to their unfilled bytes.
void reset_code_templates();
