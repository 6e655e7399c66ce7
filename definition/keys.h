// The vocabulary of the definition file: the keys each kind of section
// allows, the units of length, and the two readers that turn a stored value
// text into a number.
#pragma once

#include "basics/diagnostics.h"
#include "definition/definition_store.h"

namespace lumora {

struct KeyName {
    char name[16];
    KeyId id;  // 0 ends a table
};

enum : KeyId {
    KEY_LIGHTS = 1,
    KEY_PITCH = 2,
    KEY_OTHER_GEAR_DIST = 3,    // NoseGearDist or TailGearDist
    KEY_OTHER_GEAR_HEIGHT = 4,  // NoseGearHeight or TailGearHeight
    KEY_MAIN_GEAR_DIST = 5,
    KEY_MAIN_GEAR_HEIGHT = 6,
    KEY_DIRECTION = 7,
    KEY_LAT_OFFSET = 8,
    KEY_LON_OFFSET = 9,
    KEY_Z_OFFSET = 10,
    KEY_MAX_RANGE = 11,
    KEY_SPOT_WIDTH = 12,
    KEY_SPOT_DEPTH = 13,
};

extern const KeyName main_keys[];   // [Main]
extern const KeyName light_keys[];  // [Light 1] .. [Light 3]

struct LengthUnit {
    char suffix[3];
    double metres;
};
constexpr unsigned LENGTH_UNIT_COUNT = 4;
extern const LengthUnit length_units[LENGTH_UNIT_COUNT];

// The value of key as a plain number, or fallback when the section lacks it.
// Text after the number draws a warning; the number is used all the same.
double get_number(Diagnostics& diagnostics, const DefinitionSection& section, KeyId key, double fallback);

// The value of key as a length in metres (suffix in, ft, cm or m; none means
// metres), or fallback, unconverted, when the section lacks it. An unknown
// suffix draws an error and the number is used unconverted.
double get_number_with_unit(Diagnostics& diagnostics, const DefinitionSection& section, KeyId key,
                            double fallback);

}  // namespace lumora
