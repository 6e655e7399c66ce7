#include "mdl/insertion.h"

#include <cstring>

#include "basics/le_words.h"
#include "basics/scramble.h"
#include "basics/version.h"
#include "mdl/mdl_image.h"

namespace lumora {

namespace {

constexpr auto STORED_TRAILER = scrambled_block<TRAILER_SIZE>(
    "Landing lights by Lumora VESKA " LUMORA_VERSION_SHORT ".\n"
    "Each light is drawn as a beam and a lit spot on the ground, computed from "
    "the definition file's gear geometry, pitch, range and spot size.\n"
    "Restore the .MD$ backup to remove them.\n");

// The sizes of the zero blocks that the free room is measured in, largest
// first; then words.
constexpr std::uint32_t ZERO_BLOCKS[2] = {1024, 64};
static_assert(MODEL_CODE_SIZE % ZERO_BLOCKS[0] == 0 && ZERO_BLOCKS[0] % ZERO_BLOCKS[1] == 0,
              "the area is whole blocks");

// True when the size bytes at p (at most ZERO_BLOCKS[0]) are all zero. memcmp
// is the C library's fastest pass over memory.
bool block_is_zero(const std::uint8_t* p, std::uint32_t size)
{
    static constexpr std::uint8_t ZEROS[ZERO_BLOCKS[0]] = {};
    return std::memcmp(p, ZEROS, size) == 0;
}

constexpr std::uint32_t LAST_WORD = MODEL_CODE_SIZE - 2;  // 0xFFFE

// F: the number of bytes of zero words that end the area, counted back from
// its last word. Never counts below the area's start.
std::uint32_t count_free_space(const std::uint8_t* code_area)
{
    // The free room is most of the area in a typical model, so whole zero
    // blocks are skipped first, large then small, and the last words are
    // counted one by one.
    std::uint32_t end = MODEL_CODE_SIZE;  // everything from here on is zero
    for (const std::uint32_t block : ZERO_BLOCKS) {
        while (end >= block && block_is_zero(code_area + end - block, block)) {
            end -= block;
        }
    }
    while (end >= 2 && load_u16(code_area + end - 2) == 0) {
        end -= 2;
    }
    return MODEL_CODE_SIZE - end;
}

}  // namespace

std::array<std::uint8_t, TRAILER_SIZE> plain_trailer() { return unscrambled_copy(STORED_TRAILER); }

CodeEnd find_code_end(const std::uint8_t* code_area)
{
    CodeEnd end{};
    end.free_room = count_free_space(code_area);
    // An area of nothing but zero words has no end code at all, and a word
    // inside the area's header is no end of model code.
    end.has_code = end.free_room + CODE_HEADER_LENGTH <= LAST_WORD;
    end.last_at = LAST_WORD - (end.free_room < MODEL_CODE_SIZE ? end.free_room : LAST_WORD);
    end.last_word = end.free_room < MODEL_CODE_SIZE ? load_u16(code_area + end.last_at) : 0;
    end.used = end.has_code ? LAST_WORD + 2 - CODE_HEADER_LENGTH - end.free_room : 0;
    return end;
}

Step insert_code(Diagnostics& diagnostics, std::uint8_t* code_area, const std::uint8_t* block, unsigned n)
{
    const std::array<std::uint8_t, TRAILER_SIZE> trailer = plain_trailer();
    const CodeEnd end = find_code_end(code_area);
    if (!ends_with_end_code(end)) {
        report(diagnostics, MessageId::unexpected_end_of_data, {std::uint32_t{end.last_word}});
        return Step::reported;
    }
    // Compared in 64 bits so that no block length can wrap the sum.
    if (end.free_room < static_cast<std::uint64_t>(n) + ROOM_BESIDES_BLOCK) {
        report(diagnostics, MessageId::not_enough_space, {n, end.free_room});
        return Step::reported;
    }
    store_u32(code_area + 4, load_u32(code_area + 4) + n);
    std::memmove(code_area + CODE_HEADER_LENGTH + n, code_area + CODE_HEADER_LENGTH, end.used);
    std::memcpy(code_area + CODE_HEADER_LENGTH, block, n);
    std::memcpy(code_area + end.last_at + n + TRAILER_BEHIND_END_CODE, trailer.data(), TRAILER_SIZE);
    return Step::done;
}

void take_out_code(std::uint8_t* code_area, unsigned n, std::uint32_t used)
{
    store_u32(code_area + 4, load_u32(code_area + 4) - n);
    std::memmove(code_area + CODE_HEADER_LENGTH, code_area + CODE_HEADER_LENGTH + n, used);
    std::memset(code_area + CODE_HEADER_LENGTH + used, 0, MODEL_CODE_SIZE - CODE_HEADER_LENGTH - used);
}

}  // namespace lumora
