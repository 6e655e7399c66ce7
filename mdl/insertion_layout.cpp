#include "mdl/insertion_layout.h"

#include <algorithm>

#include "basics/le_words.h"
#include "mdl/insertion.h"
#include "mdl/mdl_layout.h"

namespace lumora {

namespace {

// The offset in the plain trailer of its last word that is not zero. The
// trailer is placed on a word boundary, so its zero words at the end merge
// with the free room behind it.
std::uint32_t last_trailer_word(const std::uint8_t* trailer)
{
    std::uint32_t at = TRAILER_SIZE - 2;
    while (at > 0 && trailer[at] == 0 && trailer[at + 1] == 0) {
        at -= 2;
    }
    return at;
}

// The first byte where the area differs from the trailer placed at
// layout.trailer_at, or TRAILER_SIZE when all of it is there. A trailer that
// would run past the area's end differs where the area ends.
unsigned trailer_difference(const std::uint8_t* code_area, std::uint32_t trailer_at, const std::uint8_t* trailer)
{
    const std::uint32_t room = std::min(TRAILER_SIZE, MODEL_CODE_SIZE - trailer_at);
    return static_cast<unsigned>(std::mismatch(trailer, trailer + room, code_area + trailer_at).first - trailer);
}

// Finds the trailer behind the former code and checks the end code and the
// zero word in front of it; fills layout.problem and the fields that go
// with it.
void check_trailer(const std::uint8_t* code_area, InsertionLayout& layout)
{
    const std::array<std::uint8_t, TRAILER_SIZE> trailer = plain_trailer();
    const std::uint32_t block_end = CODE_HEADER_LENGTH + layout.block.size;
    // The block's last word is not zero, so the last non-zero word of the
    // area lies at or behind the block's end - 2.
    const std::uint32_t last_word_at = MODEL_CODE_SIZE - layout.free_room - 2;
    const std::uint32_t trailer_tail = last_trailer_word(trailer.data());

    unsigned difference = 0;
    if (last_word_at >= block_end + TRAILER_BEHIND_END_CODE + trailer_tail) {
        layout.trailer_at = last_word_at - trailer_tail;
        difference = trailer_difference(code_area, layout.trailer_at, trailer.data());
    }
    if (difference < TRAILER_SIZE) {
        // Nothing but zeros behind an end code: the trailer was taken away.
        if (last_word_at >= block_end && load_u16(code_area + last_word_at) == END_CODE) {
            layout.problem = InsertionProblem::no_trailer;
            layout.trailer_at = last_word_at + TRAILER_BEHIND_END_CODE;
            return;
        }
        layout.problem = InsertionProblem::trailer_damaged;
        layout.trailer_difference = difference;
        return;
    }
    const std::uint16_t zero_word = load_u16(code_area + layout.trailer_at - 2);
    if (zero_word != 0) {
        layout.problem = InsertionProblem::no_zero_word;
        layout.found_word = zero_word;
        return;
    }
    const std::uint16_t end_code = load_u16(code_area + layout.trailer_at - TRAILER_BEHIND_END_CODE);
    if (end_code != END_CODE) {
        layout.problem = InsertionProblem::no_end_code;
        layout.found_word = end_code;
        return;
    }
    layout.code_length = layout.trailer_at - TRAILER_BEHIND_END_CODE + 2 - block_end;
    layout.problem = InsertionProblem::complete;
}

// The word a mark's place would hold once the block was taken out: the
// header stays, the former code moves back to the area's offset 12 and
// zeros follow it.
std::uint32_t restored_mark_word(const std::uint8_t* code_area, const InsertionLayout& layout, const CodeMark& mark)
{
    if (mark.area_offset < CODE_HEADER_LENGTH) {
        return mark_word(code_area, mark);
    }
    if (mark.area_offset + mark.width > CODE_HEADER_LENGTH + layout.code_length) {
        return 0;
    }
    return mark_word(code_area + layout.block.size, mark);
}

}  // namespace

InsertionLayout find_insertion(const std::uint8_t* code_area)
{
    InsertionLayout layout{};
    layout.free_room = find_code_end(code_area).free_room;
    layout.block = recognise_block(code_area + CODE_HEADER_LENGTH);
    if (code_is_unmodified(code_area)) {
        layout.problem = InsertionProblem::unmodified;
        return layout;
    }
    if (layout.block.verdict != BlockVerdict::recognised) {
        layout.problem = InsertionProblem::no_block;
        return layout;
    }
    check_trailer(code_area, layout);
    if (layout.problem != InsertionProblem::complete) {
        return layout;
    }
    // Taking the block out must leave a model code that the insertion could
    // have started from: the unmodified marks, and the end code as the last
    // non-zero word (so that the free room comes out as before). The marks
    // are read where taking out would move them from, without a copy.
    layout.restored_failure = CODE_MARK_COUNT;
    for (unsigned index = 0; index < CODE_MARK_COUNT; ++index) {
        const CodeMark& mark = UNMODIFIED_MARKS[index];
        if (restored_mark_word(code_area, layout, mark) != mark.value) {
            layout.restored_failure = index;
            layout.problem = InsertionProblem::not_restorable;
            break;
        }
    }
    return layout;
}

CodeEnd restored_code_end(const InsertionLayout& layout)
{
    CodeEnd end{};
    end.used = layout.code_length;
    end.free_room = MODEL_CODE_SIZE - CODE_HEADER_LENGTH - layout.code_length;
    end.has_code = true;
    end.last_at = CODE_HEADER_LENGTH + layout.code_length - 2;
    end.last_word = END_CODE;
    return end;
}

}  // namespace lumora
