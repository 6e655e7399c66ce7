// Little-endian words in byte buffers. Callers check the bounds.
#pragma once

#include <cstdint>

namespace lumora {

inline std::uint16_t load_u16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t load_u32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// A 16-bit word as two's complement.
inline std::int16_t signed_word(std::uint16_t word)
{
    return static_cast<std::int16_t>(word >= 0x8000u ? static_cast<int>(word) - 0x10000 : static_cast<int>(word));
}

inline std::int16_t load_s16(const std::uint8_t* p) { return signed_word(load_u16(p)); }

inline void store_u16(std::uint8_t* p, std::uint16_t value)
{
    p[0] = static_cast<std::uint8_t>(value & 0xFF);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void store_u32(std::uint8_t* p, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
    }
}

}  // namespace lumora
