// The vocabulary of the definition file: one table of the keys, with every
// fact the programs and the page know of a key (its section, whether it
// takes a unit, the value used without it, the gear it names), the units of
// length, and the two readers that turn a stored value text into a number.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "basics/messages.h"
#include "definition/definition_store.h"

namespace lumora {

// What a key's absence means.
enum class KeyDefault {
    value,         // the key's default_value is used
    ground_pitch,  // the ground pitch worked out from [Main]
    required,      // the file must give it
};

// The gear whose contact point a key places.
enum class KeyGear { none, main, tail, nose };

struct KeyName {
    char name[16];
    KeyId id;
    bool takes_unit;    // a length: written with a unit suffix (none: metres)
    bool reads_unit;    // its number is read with a unit suffix converted (the lengths, and Pitch)
    KeyDefault absent;
    double default_value;  // in metres, degrees or as a count
    KeyGear gear;
};

// The keys of one kind of section, in the order they are matched.
struct KeyTable {
    const KeyName* keys;
    std::size_t count;
    constexpr const KeyName* begin() const { return keys; }
    constexpr const KeyName* end() const { return keys + count; }
};

// The keys of a section: [Main] (0) or [Light n] (n, and any other number).
KeyTable section_keys(unsigned section);

// The keys of the other kind of section.
KeyTable other_section_keys(unsigned section);

// The key of the table whose name is name without regard to case, or null.
const KeyName* find_key(const KeyTable& table, std::string_view name);

// The key of the section with this identity; for the other gear, the one
// named for the nose gear where nose is set, else for the tail gear.
const KeyName& key_by_id(KeyId id, bool nose = false);

// A section's header as the programs write it: "[Main]", "[Light 2]".
std::string section_header(unsigned section);

// The section a header line names (compared without regard to case, and
// without its line end): 0 for [Main], n for [Light n], or NO_SECTION.
int header_section(std::string_view line);

// Whether a name the file writes for one of the other gear's keys names the
// nose gear (NoseGearDist, nosegearheight); false for the tail gear's.
bool names_nose_gear(std::string_view written_name);

struct LengthUnit {
    char suffix[3];
    double metres;
};
constexpr unsigned LENGTH_UNIT_COUNT = 4;
extern const LengthUnit length_units[LENGTH_UNIT_COUNT];

// The unit whose suffix is text without regard to case, or null.
const LengthUnit* find_unit(std::string_view text);

// The metres of one unit named by its suffix; the empty text (and an
// unknown suffix) is metres.
double unit_metres(std::string_view suffix);

// The value of key read as the table says, or the key's default, unconverted,
// when the section lacks it; ground_pitch stands for the default of Pitch.
// Read with a unit, the value's suffix (in, ft, cm or m; none means metres)
// is converted, and an unknown suffix draws an error; read without, any text
// after the number draws a warning. Either way the number is used.
double get_key_value(Diagnostics& diagnostics, const DefinitionSection& section, KeyId key, double ground_pitch);

}  // namespace lumora
