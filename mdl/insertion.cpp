#include "mdl/insertion.h"

#include <cstring>

#include "driver/console.h"
#include "mdl/le_words.h"
#include "mdl/mdl_image.h"
#include "mdl/xor_key.h"

namespace {

constexpr auto stored_trailer = scrambled_block<TRAILER_SIZE>(
    "Landing lights by Lumora VESKA 1.0.\n"
    "Each light is drawn as a beam and a lit spot on the ground, computed from "
    "the definition file's gear geometry, pitch, range and spot size.\n"
    "Restore the .MD$ backup to remove them.\n");

HeldBlock<TRAILER_SIZE> trailer{};

// True when the 64 bytes at p are all zero.
bool chunk_is_zero(const std::uint8_t* p)
{
    std::uint64_t words[8];
    std::memcpy(words, p, sizeof words);
    std::uint64_t any = 0;
    for (std::uint64_t word : words) {
        any |= word;
    }
    return any == 0;
}

constexpr std::uint32_t LAST_WORD = MODEL_CODE_SIZE - 2;  // 0xFFFE
constexpr std::uint32_t ROOM_BESIDES_BLOCK = 2 + TRAILER_SIZE;  // one zero word, the trailer

}  // namespace

const std::uint8_t* trailer_block() { return held_bytes(trailer, stored_trailer); }

void copy_plain_trailer(std::uint8_t* out)
{
    std::memcpy(out, stored_trailer.data(), TRAILER_SIZE);
    xor_with_key(out, TRAILER_SIZE, scramble_key.data(), SCRAMBLE_KEY_LENGTH);
}

void reset_trailer_block() { trailer.loaded = false; }

std::uint32_t count_free_space(const std::uint8_t* code_area)
{
    // The free room is most of the area in a typical model, so whole zero
    // chunks are skipped first and the last words are counted one by one.
    constexpr std::uint32_t CHUNK = 64;
    std::uint32_t end = MODEL_CODE_SIZE;  // everything from here on is zero
    while (end >= CHUNK && chunk_is_zero(code_area + end - CHUNK)) {
        end -= CHUNK;
    }
    while (end >= 2 && load_u16(code_area + end - 2) == 0) {
        end -= 2;
    }
    return MODEL_CODE_SIZE - end;
}

int insert_code(std::uint8_t* code_area, const std::uint8_t* block, unsigned n)
{
    std::uint8_t* plain_trailer = held_bytes(trailer, stored_trailer);
    xor_with_key(plain_trailer, TRAILER_SIZE, scramble_key.data(), SCRAMBLE_KEY_LENGTH);

    const std::uint32_t free_room = count_free_space(code_area);
    // An area of nothing but zero words has no end code at all, and an end
    // code inside the area's header is no end of model code.
    const bool end_in_code = free_room + CODE_HEADER_LENGTH <= LAST_WORD;
    const std::uint16_t last_word =
        free_room < MODEL_CODE_SIZE ? load_u16(code_area + LAST_WORD - free_room) : 0;
    if (last_word != END_CODE || !end_in_code) {
        console_print("Unexpected end of data: code=0x%04x\n", last_word);
        return 1;
    }
    // Compared in 64 bits so that no block length can wrap the sum.
    if (free_room < static_cast<std::uint64_t>(n) + ROOM_BESIDES_BLOCK) {
        console_print("Not enough space in MDL file for landing lights, space needed=%u, space available=%u.\n",
                      n, free_room);
        return 1;
    }
    const std::uint32_t used = LAST_WORD + 2 - CODE_HEADER_LENGTH - free_room;  // U, end code included
    store_u32(code_area + 4, load_u32(code_area + 4) + n);
    std::memmove(code_area + CODE_HEADER_LENGTH + n, code_area + CODE_HEADER_LENGTH, used);
    std::memcpy(code_area + CODE_HEADER_LENGTH, block, n);
    std::memcpy(code_area + LAST_WORD - free_room + n + 4, plain_trailer, TRAILER_SIZE);
    return 0;
}
