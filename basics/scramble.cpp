#include "basics/scramble.h"

#include <algorithm>

namespace lumora {

void xor_with_key(std::uint8_t* buffer, int length)
{
    // One turn of the key at a time: a loop the compiler can widen.
    for (int start = 0; start < length - 1; start += SCRAMBLE_KEY_LENGTH) {
        const int count = std::min(length - 1 - start, SCRAMBLE_KEY_LENGTH);
        for (int k = 0; k < count; ++k) {
            buffer[start + k] = static_cast<std::uint8_t>(buffer[start + k] ^ scramble_key[k]);
        }
    }
}

}  // namespace lumora
