// Recognising the landing-light block that this program puts at the start of
// the model code: every word of one of the three templates must be there,
// except the fields that the filling writes (beam, scale, outline), and those
// must hold values the filling can produce.
#pragma once

#include <cstdint>

enum BlockVerdict : int {
    BLOCK_RECOGNISED = 0,
    BLOCK_FIXED_BYTE_DIFFERS,   // a byte outside the filled fields differs from every template
    BLOCK_SCALE_OUT_OF_RANGE,   // a light's scale word is not 7 to 13
    BLOCK_OUTLINE_NOT_FLAT,     // a light's outline points do not share one z
};

struct BlockMatch {
    BlockVerdict verdict;
    unsigned lights;      // the template recognised, or else the closest: fewest bytes differ (1 to 3)
    unsigned size;        // its length in bytes
    unsigned difference;  // BLOCK_FIXED_BYTE_DIFFERS: block offset of the first differing byte
    unsigned light;       // BLOCK_SCALE_OUT_OF_RANGE, BLOCK_OUTLINE_NOT_FLAT: the light, 1 to 3
};

// Compares the model code at area offset 12 with the three templates.
BlockMatch recognise_block(const std::uint8_t* code_area);
