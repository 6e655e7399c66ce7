// The words for what the search for an insertion found, shared by the
// report and by --strip's refusals.
#pragma once

#include <string>
#include <cstdint>

#include "mdl/insertion_layout.h"

namespace lumora {

// What keeps the layout from being a complete insertion of this program,
// e.g. "the trailer block is missing: ...". For InsertionProblem::complete,
// a short confirmation.
std::string describe_insertion(const std::uint8_t* code_area, const InsertionLayout& layout);

}  // namespace lumora
