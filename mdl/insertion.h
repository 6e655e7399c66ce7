// Putting the filled landing-light block in front of the model code, inside
// the fixed-size model-code area, without changing the file's length.
#pragma once

#include <cstdint>

constexpr unsigned TRAILER_SIZE = 250;
constexpr unsigned CODE_HEADER_LENGTH = 12;  // the model code begins this far into the area
constexpr std::uint16_t END_CODE = 0x0022;

// Inserts the n-byte block at the start of the model code of the area
// (MODEL_CODE_SIZE bytes), moves the former code behind it and puts the
// trailer block four bytes behind the moved end code. 0 on success; 1 after
// one message, with the area unchanged.
int insert_code(std::uint8_t* code_area, const std::uint8_t* block, unsigned n);

// F: the number of bytes of zero words that end the area, counted back from
// its last word. Never counts below the area's start.
std::uint32_t count_free_space(const std::uint8_t* code_area);

// The trailer block as the program holds it: scrambled until insert_code
// unscrambles it in place.
const std::uint8_t* trailer_block();

// Copies the trailer block's plain bytes to out (TRAILER_SIZE bytes), leaving
// the held block as it is.
void copy_plain_trailer(std::uint8_t* out);

// Back to the scrambled form the program starts with.
void reset_trailer_block();
