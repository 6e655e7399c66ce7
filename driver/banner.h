// The start-up banner, held scrambled in the program's data.
#pragma once

#include <array>
#include <cstdint>

#include "basics/console.h"

namespace lumora {

constexpr int BANNER_SIZE = 409;  // at most 408 characters and the terminating zero

// Writes the banner, unscrambled into a copy, to the console unformatted.
void print_banner(const Console& console);

}  // namespace lumora
