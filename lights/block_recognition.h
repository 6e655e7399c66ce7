// Recognising the landing-light block that this program puts at the start of
// the model code: every word of one of the three templates must be there,
// except the fields that the filling writes (beam, scale, outline), and those
// must hold values the filling can produce.
#pragma once

#include <cstdint>

namespace lumora {

enum class BlockVerdict {
    recognised = 0,
    fixed_byte_differs,   // a byte outside the filled fields differs from every template
    scale_out_of_range,   // a light's scale word is not 7 to 13
    outline_not_flat,     // a light's outline points do not share one z
};

struct BlockMatch {
    BlockVerdict verdict;
    unsigned lights;      // the template recognised, or else the closest: fewest bytes differ (1 to 3)
    unsigned size;        // its length in bytes
    unsigned difference;  // BlockVerdict::fixed_byte_differs: block offset of the first differing byte
    unsigned light;       // BlockVerdict::scale_out_of_range, BlockVerdict::outline_not_flat: the light, 1 to 3
};

// Compares the model code that begins at code with the three templates.
BlockMatch recognise_block(const std::uint8_t* code);

}  // namespace lumora
