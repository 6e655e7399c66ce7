// The start-up banner, held scrambled in the program's data.
#pragma once

#include "basics/console.h"

namespace lumora {

// Writes the banner, unscrambled into a copy, to the console unformatted.
void print_banner(const Console& console);

}  // namespace lumora
