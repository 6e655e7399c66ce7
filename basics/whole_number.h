// Conversion of computed doubles to the program's integers: truncate toward
// zero, then keep the low bits, as the model's 16-bit words and the 32-bit
// number of lights want. Defined for every double: a value that is not a
// finite number becomes 0, and no value, however large, overflows.
#pragma once

#include <cstdint>

#include "basics/le_words.h"

namespace lumora {

// low_bits_of_whole for a value that is not finite or lies beyond 2^63 in
// magnitude.
std::uint32_t low_bits_of_large(double x);

// The low 32 bits of the whole number trunc(x) (two's complement), or 0 when
// x is not finite.
inline std::uint32_t low_bits_of_whole(double x)
{
    // Below 2^63 in magnitude (most values: the model's words) the
    // conversion to 64 bits truncates exactly, and its low half is the answer.
    constexpr double two_to_63 = 9223372036854775808.0;
    if (x > -two_to_63 && x < two_to_63) {
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(static_cast<std::int64_t>(x)));
    }
    return low_bits_of_large(x);
}

inline std::uint16_t to_word(double x) { return static_cast<std::uint16_t>(low_bits_of_whole(x) & 0xFFFFu); }

inline std::int16_t to_signed_word(double x) { return signed_word(to_word(x)); }

}  // namespace lumora
