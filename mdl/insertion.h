// Putting the filled landing-light block in front of the model code, inside
// the fixed-size model-code area, without changing the file's length: where
// the model code ends, the room it leaves, and the insertion itself.
#pragma once

#include <array>
#include <cstdint>

#include "basics/messages.h"

namespace lumora {

constexpr unsigned TRAILER_SIZE = 250;
constexpr unsigned CODE_HEADER_LENGTH = 12;  // the model code begins this far into the area
constexpr std::uint16_t END_CODE = 0x0022;
// Room an insertion needs besides the block: one zero word behind the
// former end code, then the trailer block.
constexpr std::uint32_t ROOM_BESIDES_BLOCK = 2 + TRAILER_SIZE;
// The trailer begins this far behind the former end code: the end code's
// own word, then the zero word.
constexpr std::uint32_t TRAILER_BEHIND_END_CODE = 4;

// Where the model code of an area ends.
struct CodeEnd {
    std::uint32_t free_room;  // F: bytes of the zero words that end the area
    bool has_code;            // a non-zero word stands behind the area's header
    std::uint32_t last_at;    // E: area offset of the last non-zero word (0xFFFE - F)
    std::uint16_t last_word;  // the word there; 0 when the area is all zeros
    std::uint32_t used;       // U: the model code's length up to that word, when has_code
};

// Measures the end of the model code of an area (MODEL_CODE_SIZE bytes).
CodeEnd find_code_end(const std::uint8_t* code_area);

// True when the model code ends with the end code, as an insertion needs.
inline bool ends_with_end_code(const CodeEnd& end) { return end.has_code && end.last_word == END_CODE; }

// The trailer block's plain bytes: a copy, unscrambled each time.
std::array<std::uint8_t, TRAILER_SIZE> plain_trailer();

// Inserts the n-byte block at the start of the model code of the area
// (MODEL_CODE_SIZE bytes), moves the former code behind it and puts the
// trailer block four bytes behind the moved end code. 0 on success; 1 after
// one message, with the area unchanged.
Step insert_code(Diagnostics& diagnostics, std::uint8_t* code_area, const std::uint8_t* block, unsigned n);

// The inverse of insert_code: subtracts n from the length word, moves the
// used bytes of former code (end code included) from behind the n-byte
// block back to the start of the model code and zeros everything behind
// them, trailer included.
void take_out_code(std::uint8_t* code_area, unsigned n, std::uint32_t used);

}  // namespace lumora
