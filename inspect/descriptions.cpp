#include "inspect/descriptions.h"

#include <cstdio>

#include "basics/le_words.h"
#include "lights/code_templates.h"
#include "mdl/insertion.h"
#include "mdl/mdl_image.h"

namespace lumora {

namespace {

// Which mark of an unmodified model code the area no longer has.
void describe_modification(const std::uint8_t* code_area, char* text, std::size_t size)
{
    const unsigned index = first_modified_mark(code_area);
    const CodeMark& mark = UNMODIFIED_MARKS[index < CODE_MARK_COUNT ? index : CODE_MARK_COUNT - 1];
    const unsigned long found = mark_word(code_area, mark);
    if (mark.width == 4) {
        std::snprintf(text, size, "its header length is %lu, not %lu", found, static_cast<unsigned long>(mark.value));
    } else {
        std::snprintf(text, size, "the word at area offset %lu is 0x%04lX, not 0x%04lX",
                      static_cast<unsigned long>(mark.area_offset), found, static_cast<unsigned long>(mark.value));
    }
}

void describe_block(const std::uint8_t* code_area, const BlockMatch& block, char* text, std::size_t size)
{
    const std::uint8_t* code = code_area + CODE_HEADER_LENGTH;
    switch (block.verdict) {
    case BlockVerdict::recognised:
        std::snprintf(text, size, "it begins with the %u-light block", block.lights);
        return;
    case BlockVerdict::fixed_byte_differs:
        std::snprintf(text, size,
                      "it does not begin with a landing-light block of this program: the closest, the %u-light "
                      "block, differs at its byte %u (area offset %u): 0x%02X where the block has 0x%02X",
                      block.lights, block.difference, block.difference + CODE_HEADER_LENGTH,
                      code[block.difference], code_template(block.lights).bytes[block.difference]);
        return;
    case BlockVerdict::scale_out_of_range:
        std::snprintf(text, size,
                      "it begins with the fixed words of the %u-light block, but light %u's scale is %u, not 7 to 13",
                      block.lights, block.light,
                      load_u16(code + scale_field_offset(block.lights, block.light)));
        return;
    case BlockVerdict::outline_not_flat:
        std::snprintf(text, size,
                      "it begins with the fixed words of the %u-light block, but the outline points of light %u "
                      "do not all have the same z",
                      block.lights, block.light);
        return;
    }
    std::snprintf(text, size, "%s", "its block was not examined");
}

// The name of a mark of an unmodified model code, as the descriptions use it.
void mark_name(const CodeMark& mark, char* text, std::size_t size)
{
    if (mark.width == 4) {
        std::snprintf(text, size, "%s", "the header length");
    } else {
        std::snprintf(text, size, "the word at area offset %lu", static_cast<unsigned long>(mark.area_offset));
    }
}

}  // namespace

void describe_insertion(const std::uint8_t* code_area, const InsertionLayout& layout, char* text, std::size_t size)
{
    char detail[256];
    switch (layout.problem) {
    case InsertionProblem::complete:
        std::snprintf(text, size,
                      "the %u-light block, the former code (%lu bytes) and the trailer block are all in place",
                      layout.block.lights, static_cast<unsigned long>(layout.code_length));
        return;
    case InsertionProblem::unmodified:
        std::snprintf(text, size, "%s", "the model code is unprocessed: it carries no landing lights");
        return;
    case InsertionProblem::no_block: {
        char modification[128];
        describe_modification(code_area, modification, sizeof modification);
        describe_block(code_area, layout.block, detail, sizeof detail);
        std::snprintf(text, size, "the model code is modified (%s), but %s", modification, detail);
        return;
    }
    case InsertionProblem::no_trailer:
        std::snprintf(text, size,
                      "the trailer block is missing: nothing but zeros follows the end code at area offset %lu",
                      static_cast<unsigned long>(layout.trailer_at - 4));
        return;
    case InsertionProblem::trailer_damaged:
        if (layout.trailer_at == 0) {
            std::snprintf(text, size, "%s",
                          "the trailer block is missing: the code behind the block is too short to end with an end "
                          "code, a zero word and the trailer block");
        } else if (layout.trailer_at + layout.trailer_difference >= MODEL_CODE_SIZE) {
            std::snprintf(text, size,
                          "the trailer block is damaged: placed by its last non-zero word, it would begin at area "
                          "offset %lu and run past the area's end",
                          static_cast<unsigned long>(layout.trailer_at));
        } else {
            const std::array<std::uint8_t, TRAILER_SIZE> trailer = plain_trailer();
            const std::uint32_t at = layout.trailer_at + layout.trailer_difference;
            std::snprintf(text, size,
                          "the trailer block is missing or damaged: placed by its last non-zero word, it would "
                          "begin at area offset %lu, but its byte %u (area offset %lu) is 0x%02X where the trailer "
                          "has 0x%02X",
                          static_cast<unsigned long>(layout.trailer_at), layout.trailer_difference,
                          static_cast<unsigned long>(at), code_area[at], trailer[layout.trailer_difference]);
        }
        return;
    case InsertionProblem::no_zero_word:
        std::snprintf(text, size, "the word in front of the trailer block (area offset %lu) is 0x%04X, not zero",
                      static_cast<unsigned long>(layout.trailer_at - 2), layout.found_word);
        return;
    case InsertionProblem::no_end_code:
        std::snprintf(text, size,
                      "the former code does not end with the end code: the word at area offset %lu is 0x%04X, "
                      "not 0x0022",
                      static_cast<unsigned long>(layout.trailer_at - 4), layout.found_word);
        return;
    case InsertionProblem::not_restorable: {
        char name[64];
        mark_name(UNMODIFIED_MARKS[layout.restored_failure < CODE_MARK_COUNT ? layout.restored_failure : 0], name,
                  sizeof name);
        std::snprintf(text, size, "taking the block out would not give an unmodified model code: %s would be wrong",
                      name);
        return;
    }
    }
    std::snprintf(text, size, "%s", "the insertion was not examined");
}

}  // namespace lumora
