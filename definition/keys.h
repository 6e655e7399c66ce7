// The vocabulary of the definition file: the keys each kind of section
// allows, the units of length, and the two readers that turn a stored value
// text into a number.
#pragma once

#include <cstddef>
#include <string_view>

#include "basics/messages.h"
#include "definition/definition_store.h"

namespace lumora {

struct KeyName {
    char name[16];
    KeyId id;
};

// The keys of one kind of section, in the order they are matched.
struct KeyTable {
    const KeyName* keys;
    std::size_t count;
    const KeyName* begin() const { return keys; }
    const KeyName* end() const { return keys + count; }
};

KeyTable main_keys();   // [Main]
KeyTable light_keys();  // [Light 1] .. [Light 3]

// The key of the table whose name is name without regard to case, or null.
const KeyName* find_key(const KeyTable& table, std::string_view name);

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
