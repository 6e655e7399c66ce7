// The tuning page's form: one field per key of the definition file, what
// each shows for a definition as read, and the change of one field turned
// into the definition file's new bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "definition/definition.h"

namespace lumora {

// One field of the form and what it shows.
struct FormField {
    unsigned section;     // 0 for [Main], n for [Light n]
    std::string key;      // the key's name as the page writes it (the other gear as Tail... or Nose...)
    std::string label;
    std::string help;     // what the value means, in a few words
    bool takes_unit;      // a length: a unit may follow the number
    bool present;         // the section holds the key (as veska read it)
    std::uint32_t line;   // the line that holds it, 0 when absent
    std::string number;   // as written; the whole value when it is not a plain number with a unit
    std::string unit;     // "", "in", "ft", "cm" or "m"
    std::string placeholder;  // the default that applies when the field is empty
    // The slider: its range and step in the field's unit, and where it
    // stands (at the value, or at the default when there is none).
    double slider_min;
    double slider_max;
    double slider_step;
    double slider_value;
};

struct FormState {
    std::vector<FormField> fields;  // [Main] first, then [Light 1] .. [Light 3], keys in the form's order
    bool other_gear_tail;           // the other gear is written TailGear... (else NoseGear...)
};

// What the page's script names from the key table: each section's title
// (its header) and the words for the two kinds of other gear.
struct PageVocabulary {
    std::vector<std::string> section_titles;           // [Main], [Light 1] .. [Light 3]
    std::string tail_gear_words;
    std::string nose_gear_words;
};
PageVocabulary page_vocabulary();

// The form for a definition as the reader left it.
FormState form_state(const Definition& definition);

// The definition file's bytes with one field changed: the number and unit
// as the form holds them (an empty number clears the key). A change of
// Lights to 1, 2 or 3 also adds the light sections it asks for and takes
// empty ones beyond it out. Nothing when the bytes cannot be decoded.
std::optional<std::string> edit_field(const std::string& bytes, unsigned section, const std::string& key,
                                      const std::string& number, const std::string& unit);

}  // namespace lumora
