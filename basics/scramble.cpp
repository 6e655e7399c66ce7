#include "basics/scramble.h"

namespace lumora {

void xor_with_key(std::uint8_t* buffer, int length, const std::uint8_t* key, int key_length)
{
    if (key_length <= 0) {
        return;
    }
    // One turn of the key at a time: a loop the compiler can widen.
    for (int start = 0; start < length - 1; start += key_length) {
        const int count = length - 1 - start < key_length ? length - 1 - start : key_length;
        for (int k = 0; k < count; ++k) {
            buffer[start + k] = static_cast<std::uint8_t>(buffer[start + k] ^ key[k]);
        }
    }
}

}  // namespace lumora
