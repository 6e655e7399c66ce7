// Test support for veska-inspect: runs it and veska in the test's process,
// and makes processed models from the sample builder's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/console_capture.h"

using Bytes = std::vector<std::uint8_t>;

struct Captured {
    int exit_code;
    std::string output;  // veska's without its banner
};

// veska-inspect with these arguments, from a fresh program state.
Captured run_inspector(const std::vector<std::string>& args);

// veska with these arguments, from a fresh program state.
Captured run_veska_quietly(const std::vector<std::string>& args);

// The worked example's tail-dragger with lights 1 .. lights: the first at
// LatOffset 3 and Direction 10, the second mirrored, the third centred.
std::string worked_definition(unsigned lights);

// The model as veska leaves it with this definition, or empty when veska
// does not write it. Uses files in dir.
Bytes processed_by_veska(const ScratchDir& dir, const Bytes& model, const std::string& definition);

// Area offset 0 of the model-code area in a file.
constexpr std::size_t AREA_AT = 0x11F8;
