// Reading a model for inspection, and the words for what it fails, shared
// by the report and by --strip's refusals: the structural test, or what the
// search for an insertion found, with the values found.
#pragma once

#include <cstdint>
#include <string>

#include "mdl/insertion_layout.h"
#include "mdl/mdl_layout.h"

namespace lumora {

// Reads the named file through files into image and runs the structural
// tests. Step::reported after the reader's message when the file cannot be
// read (no image is left then); otherwise the findings are stored in
// *findings and, when every test passed, image.code_area set.
[[nodiscard]] Step read_model(Diagnostics& diagnostics, FileSystem& files, MdlImage& image, const std::string& name,
                              StructureFindings* findings);

// What the failing test found, e.g. "the resource section's raw data is
// 0x10400 bytes long, not 0x10800". Empty for StructureCheck::ok.
std::string describe_structure_fault(const MdlImage& image, const StructureFindings& findings);

// What keeps the layout from being a complete insertion of this program,
// e.g. "the trailer block is missing: ...". For InsertionProblem::complete,
// a short confirmation.
std::string describe_insertion(const std::uint8_t* code_area, const InsertionLayout& layout);

}  // namespace lumora
