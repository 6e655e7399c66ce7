#include "basics/whole_number.h"

#include <cmath>

namespace lumora {

std::uint32_t low_bits_of_large(double x)
{
    if (!std::isfinite(x)) {
        return 0;
    }
    constexpr double modulus = 4294967296.0;  // 2^32
    // fmod is exact, so the remainder is the true low part of trunc(x) for
    // every magnitude; a negative remainder wraps to its two's complement.
    double rest = std::fmod(std::trunc(x), modulus);
    if (rest < 0.0) {
        rest += modulus;
    }
    return static_cast<std::uint32_t>(rest);
}

}  // namespace lumora
