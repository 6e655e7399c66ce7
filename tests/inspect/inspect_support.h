// Test support for veska-inspect's tests: processed models made by running
// veska on the sample builder's.
#pragma once

#include <cstddef>
#include <string>

#include "tests/support/files.h"
#include "tools/mdl_builder/mdl_builder.h"

namespace lumora {

// The model as veska leaves it with this definition, or empty when veska
// does not write it. Uses files in dir.
Bytes processed_by_veska(const ScratchDir& dir, const Bytes& model, const std::string& definition);

// Area offset 0 of the model-code area in a file.
constexpr std::size_t AREA_AT = mdl_builder::CODE_AREA_AT;

}  // namespace lumora
