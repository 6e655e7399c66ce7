#include "inspect/descriptions.h"


#include "basics/messages.h"
#include "basics/le_words.h"
#include "lights/code_templates.h"
#include "mdl/insertion.h"
#include "mdl/mdl_layout.h"

namespace lumora {

namespace {

// Which mark of an unmodified model code the area no longer has, and what
// the block at its start is: the subjects of MessageId::insertion_modified.
std::vector<Subject> modification(const std::uint8_t* code_area, const BlockMatch& block)
{
    const unsigned index = first_modified_mark(code_area);
    const CodeMark& mark = UNMODIFIED_MARKS[index < CODE_MARK_COUNT ? index : CODE_MARK_COUNT - 1];
    const std::uint8_t* code = code_area + CODE_HEADER_LENGTH;
    const bool differs = block.verdict == BlockVerdict::fixed_byte_differs;
    const std::uint32_t found_byte = differs ? code[block.difference] : 0;
    const std::uint32_t block_byte = differs ? code_template(block.lights).bytes[block.difference] : 0;
    const std::uint32_t scale = block.verdict == BlockVerdict::scale_out_of_range
                                    ? load_u16(code + scale_field_offset(block.lights, block.light))
                                    : 0;
    return {mark.width != 4, std::uint32_t{mark_word(code_area, mark)}, mark.value, mark.area_offset, block.verdict,
            block.lights, block.difference, block.difference + CODE_HEADER_LENGTH, found_byte, block_byte,
            block.light, scale};
}

Message insertion_words(const std::uint8_t* code_area, const InsertionLayout& layout)
{
    switch (layout.problem) {
    case InsertionProblem::complete:
        return {MessageId::insertion_complete, 0, {layout.block.lights, layout.code_length}};
    case InsertionProblem::unmodified:
        return {MessageId::insertion_unmodified, 0, {}};
    case InsertionProblem::no_block:
        return {MessageId::insertion_modified, 0, modification(code_area, layout.block)};
    case InsertionProblem::no_trailer:
        return {MessageId::insertion_no_trailer, 0, {layout.trailer_at - 4}};
    case InsertionProblem::trailer_damaged: {
        if (layout.trailer_at == 0) {
            return {MessageId::insertion_trailer_too_short, 0, {}};
        }
        if (layout.trailer_at + layout.trailer_difference >= MODEL_CODE_SIZE) {
            return {MessageId::insertion_trailer_past_end, 0, {layout.trailer_at}};
        }
        const std::array<std::uint8_t, TRAILER_SIZE> trailer = plain_trailer();
        const std::uint32_t at = layout.trailer_at + layout.trailer_difference;
        return {MessageId::insertion_trailer_damaged, 0,
                {layout.trailer_at, layout.trailer_difference, at, std::uint32_t{code_area[at]},
                 std::uint32_t{trailer[layout.trailer_difference]}}};
    }
    case InsertionProblem::no_zero_word:
        return {MessageId::insertion_no_zero_word, 0, {layout.trailer_at - 2, std::uint32_t{layout.found_word}}};
    case InsertionProblem::no_end_code:
        return {MessageId::insertion_no_end_code, 0, {layout.trailer_at - 4, std::uint32_t{layout.found_word}}};
    case InsertionProblem::not_restorable: {
        const CodeMark& mark = UNMODIFIED_MARKS[layout.restored_failure < CODE_MARK_COUNT ? layout.restored_failure : 0];
        return {MessageId::insertion_not_restorable, 0, {mark.width != 4, mark.area_offset}};
    }
    }
    return {MessageId::insertion_unknown, 0, {}};
}

}  // namespace

std::string describe_insertion(const std::uint8_t* code_area, const InsertionLayout& layout)
{
    return message_body(insertion_words(code_area, layout));
}

}  // namespace lumora
