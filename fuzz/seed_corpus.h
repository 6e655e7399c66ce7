// The seed corpora of the three fuzz harnesses, made by the project's own
// code: definition files that cover every key, unit and section form, and
// models from the sample builder, the accepted one and every faulty variant.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumora {

struct Seed {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

std::vector<Seed> definition_seeds();
std::vector<Seed> model_seeds();
// Pairs of a definition file and a model in harness 3's input form.
std::vector<Seed> run_seeds();

}  // namespace lumora
