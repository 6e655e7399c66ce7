// The start-up banner, held scrambled in the program's data.
#pragma once

#include <cstdint>

constexpr int BANNER_SIZE = 409;  // at most 408 characters and the terminating zero

// Unscrambles the banner in place and writes it to the console unformatted.
void print_banner();

// The banner as held now (scrambled until print_banner has run).
const std::uint8_t* banner_block();

// Back to the scrambled form the program starts with.
void reset_banner();
