#include "basics/scramble.h"

namespace lumora {

void xor_with_key(std::uint8_t* buffer, int length, const std::uint8_t* key, int key_length)
{
    if (key_length <= 0) {
        return;
    }
    int k = 0;
    for (int i = 0; i < length - 1; ++i) {
        buffer[i] = static_cast<std::uint8_t>(buffer[i] ^ key[k]);
        if (++k == key_length) {
            k = 0;
        }
    }
}

}  // namespace lumora
