// The exclusive-or routine with which the program unscrambles the two blocks
// it keeps scrambled in its data (the banner and the trailer block), and the
// key they share.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace lumora {

constexpr int SCRAMBLE_KEY_LENGTH = 37;
constexpr std::array<std::uint8_t, SCRAMBLE_KEY_LENGTH> scramble_key = {
    0x5A, 0xC3, 0x17, 0x8E, 0x21, 0xF4, 0x6B, 0x09, 0xD2, 0x3C, 0x95, 0x4E, 0xA7,
    0x10, 0x7F, 0xE8, 0x33, 0xB6, 0x4D, 0x92, 0x0B, 0x6E, 0xC1, 0x58, 0x2F, 0xA4,
    0x1D, 0x86, 0x79, 0xE0, 0x35, 0xCA, 0x64, 0x0F, 0x9B, 0x52, 0xED,
};

// Combines the first length - 1 bytes of buffer with the repeating shared
// key; the last byte is left alone. Applying it twice restores the buffer.
void xor_with_key(std::uint8_t* buffer, int length);

// The block of N bytes that xor_with_key with the shared key turns into
// plain: plain's characters, zero bytes up to the end, the last byte plain.
// Evaluated at compile time, so only the scrambled form is in the program.
template <std::size_t N, std::size_t M>
constexpr std::array<std::uint8_t, N> scrambled_block(const char (&plain)[M])
{
    static_assert(M <= N, "the plain text must fit the block with its terminator");
    std::array<std::uint8_t, N> block{};
    for (std::size_t i = 0; i < N; ++i) {
        const auto byte = static_cast<std::uint8_t>(i + 1 < M ? plain[i] : 0);
        block[i] = i + 1 < N ? static_cast<std::uint8_t>(byte ^ scramble_key[i % SCRAMBLE_KEY_LENGTH]) : byte;
    }
    return block;
}

// A plain copy of a stored scrambled block. The stored block stays as it is,
// so every use unscrambles the same bytes.
template <std::size_t N>
std::array<std::uint8_t, N> unscrambled_copy(const std::array<std::uint8_t, N>& stored)
{
    std::array<std::uint8_t, N> plain = stored;
    xor_with_key(plain.data(), static_cast<int>(N));
    return plain;
}

}  // namespace lumora
