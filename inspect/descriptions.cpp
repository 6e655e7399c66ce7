#include "inspect/descriptions.h"


#include "basics/formatted.h"
#include "basics/le_words.h"
#include "lights/code_templates.h"
#include "mdl/insertion.h"
#include "mdl/mdl_layout.h"

namespace lumora {

namespace {

// Which mark of an unmodified model code the area no longer has.
void describe_modification(const std::uint8_t* code_area, std::string& text)
{
    const unsigned index = first_modified_mark(code_area);
    const CodeMark& mark = UNMODIFIED_MARKS[index < CODE_MARK_COUNT ? index : CODE_MARK_COUNT - 1];
    const unsigned long found = mark_word(code_area, mark);
    if (mark.width == 4) {
        text = formatted("its header length is %lu, not %lu", found, static_cast<unsigned long>(mark.value));
    } else {
        text = formatted("the word at area offset %lu is 0x%04lX, not 0x%04lX",
                      static_cast<unsigned long>(mark.area_offset), found, static_cast<unsigned long>(mark.value));
    }
}

void describe_block(const std::uint8_t* code_area, const BlockMatch& block, std::string& text)
{
    const std::uint8_t* code = code_area + CODE_HEADER_LENGTH;
    switch (block.verdict) {
    case BlockVerdict::recognised:
        text = formatted("it begins with the %u-light block", block.lights);
        return;
    case BlockVerdict::fixed_byte_differs:
        text = formatted("it does not begin with a landing-light block of this program: the closest, the %u-light "
                      "block, differs at its byte %u (area offset %u): 0x%02X where the block has 0x%02X",
                      block.lights, block.difference, block.difference + CODE_HEADER_LENGTH,
                      code[block.difference], code_template(block.lights).bytes[block.difference]);
        return;
    case BlockVerdict::scale_out_of_range:
        text = formatted("it begins with the fixed words of the %u-light block, but light %u's scale is %u, not 7 to 13",
                      block.lights, block.light,
                      load_u16(code + scale_field_offset(block.lights, block.light)));
        return;
    case BlockVerdict::outline_not_flat:
        text = formatted("it begins with the fixed words of the %u-light block, but the outline points of light %u "
                      "do not all have the same z",
                      block.lights, block.light);
        return;
    }
    text = "its block was not examined";
}

// The name of a mark of an unmodified model code, as the descriptions use it.
void mark_name(const CodeMark& mark, std::string& text)
{
    if (mark.width == 4) {
        text = "the header length";
    } else {
        text = formatted("the word at area offset %lu", static_cast<unsigned long>(mark.area_offset));
    }
}

}  // namespace

void describe_insertion(const std::uint8_t* code_area, const InsertionLayout& layout, std::string& text)
{
    std::string detail;
    switch (layout.problem) {
    case InsertionProblem::complete:
        text = formatted("the %u-light block, the former code (%lu bytes) and the trailer block are all in place",
                      layout.block.lights, static_cast<unsigned long>(layout.code_length));
        return;
    case InsertionProblem::unmodified:
        text = "the model code is unprocessed: it carries no landing lights";
        return;
    case InsertionProblem::no_block: {
        std::string modification;
        describe_modification(code_area, modification);
        describe_block(code_area, layout.block, detail);
        text = formatted("the model code is modified (%s), but %s", modification.c_str(), detail.c_str());
        return;
    }
    case InsertionProblem::no_trailer:
        text = formatted("the trailer block is missing: nothing but zeros follows the end code at area offset %lu",
                      static_cast<unsigned long>(layout.trailer_at - 4));
        return;
    case InsertionProblem::trailer_damaged:
        if (layout.trailer_at == 0) {
            text = formatted("%s",
                          "the trailer block is missing: the code behind the block is too short to end with an end "
                          "code, a zero word and the trailer block");
        } else if (layout.trailer_at + layout.trailer_difference >= MODEL_CODE_SIZE) {
            text = formatted("the trailer block is damaged: placed by its last non-zero word, it would begin at area "
                          "offset %lu and run past the area's end",
                          static_cast<unsigned long>(layout.trailer_at));
        } else {
            const std::array<std::uint8_t, TRAILER_SIZE> trailer = plain_trailer();
            const std::uint32_t at = layout.trailer_at + layout.trailer_difference;
            text = formatted("the trailer block is missing or damaged: placed by its last non-zero word, it would "
                          "begin at area offset %lu, but its byte %u (area offset %lu) is 0x%02X where the trailer "
                          "has 0x%02X",
                          static_cast<unsigned long>(layout.trailer_at), layout.trailer_difference,
                          static_cast<unsigned long>(at), code_area[at], trailer[layout.trailer_difference]);
        }
        return;
    case InsertionProblem::no_zero_word:
        text = formatted("the word in front of the trailer block (area offset %lu) is 0x%04X, not zero",
                      static_cast<unsigned long>(layout.trailer_at - 2), layout.found_word);
        return;
    case InsertionProblem::no_end_code:
        text = formatted("the former code does not end with the end code: the word at area offset %lu is 0x%04X, "
                      "not 0x0022",
                      static_cast<unsigned long>(layout.trailer_at - 4), layout.found_word);
        return;
    case InsertionProblem::not_restorable: {
        std::string name;
        mark_name(UNMODIFIED_MARKS[layout.restored_failure < CODE_MARK_COUNT ? layout.restored_failure : 0], name);
        text = formatted("taking the block out would not give an unmodified model code: %s would be wrong",
                      name.c_str());
        return;
    }
    }
    text = "the insertion was not examined";
}

}  // namespace lumora
