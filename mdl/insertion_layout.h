// The layout that an insertion leaves in the model-code area, found again:
// header (length word increased by n), the n-byte block at offset 12, the
// former code (U bytes, ending with the end code), one zero word, the trailer
// block, zeros. Finding it is what tells whether the area can be given back
// exactly as it was before the insertion.
#pragma once

#include <cstdint>

#include "lights/block_recognition.h"
#include "mdl/insertion.h"

namespace lumora {

enum class InsertionProblem {
    complete = 0,
    unmodified,        // the area is an unmodified model code: nothing was inserted
    no_block,          // the code does not begin with a landing-light block (see block)
    no_trailer,        // nothing but zeros behind the end code: the trailer is missing
    trailer_damaged,   // the last bytes in use are not the trailer
    no_zero_word,      // the word between the end code and the trailer is not zero
    no_end_code,       // the word before it is not the end code
    not_restorable,    // taking the block out would not leave an unmodified model code
};

struct InsertionLayout {
    InsertionProblem problem;
    BlockMatch block;
    std::uint32_t free_room;         // F now: zero bytes at the area's end
    std::uint32_t trailer_at;        // area offset where the trailer stands (or would stand;
                                     // 0 when the area leaves no place for it)
    unsigned trailer_difference;     // InsertionProblem::trailer_damaged: first differing trailer byte
    std::uint16_t found_word;        // InsertionProblem::no_zero_word, InsertionProblem::no_end_code: the word found
    std::uint32_t code_length;       // U of the former code, end code included
    unsigned restored_failure;       // InsertionProblem::not_restorable: the mark of an unmodified model
                                     // code that would fail (an index into UNMODIFIED_MARKS)
};

// Finds the insertion in the area. The area is only read.
InsertionLayout find_insertion(const std::uint8_t* code_area);

// Where the model code ends once the insertion is taken out (see
// take_out_code): for a layout whose problem is InsertionProblem::complete.
CodeEnd restored_code_end(const InsertionLayout& layout);

}  // namespace lumora
