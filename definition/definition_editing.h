// Editing a definition file as a user would by hand, so that a file opened
// and saved again keeps its comments, its order, its line ends and its
// encoding: a changed value is replaced on the line that holds it, a new key
// goes at the end of its section, and a cleared key loses its line. Every
// operation takes the file's bytes as saved and gives the bytes to save.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "definition/definition_text.h"

namespace lumora {

// The definition's text as the page shows it in its text box: decoded, any
// byte that is not UTF-8 read as Windows-1252.
std::string shown_definition_text(const std::string& bytes);

// The bytes with their text replaced by shown, the text box's text: only
// what changed is written anew, in the file's own encoding, line ends and
// code page; every other byte stays. Nothing when the bytes cannot be
// decoded.
std::optional<std::string> replace_definition_text(const std::string& bytes, std::string_view shown);

// The bytes with line n (as the reader numbers the lines, from 1) holding
// shown (its text as shown, without its line end; a line feed in it starts
// a new line with the file's line end): only the characters that differ are
// written anew; the line keeps its line end. With no text (nullopt) the line
// is taken out, its line end with it. Nothing when the bytes cannot be
// decoded or have no line n.
std::optional<std::string> replace_line(const std::string& bytes, std::uint32_t n,
                                        const std::optional<std::string>& shown);

// A key's value as a form shows it: the number as written and the unit
// suffix behind it. A value that is not just a number with an optional
// known unit (a comment behind it, a comma for the decimal point, an
// unknown unit) is shown whole as its number, with no unit, so that what
// the file says is what the user sees.
struct ValueParts {
    std::string number;
    std::string unit;  // "", "in", "ft", "cm" or "m", in the case the file writes it
};
ValueParts split_value(std::string_view value);

// The value text for a number and a unit: "12", "12 ft". A number of blanks
// only is no value at all: the empty text.
std::string compose_value(std::string_view number, std::string_view unit);

// The number converted from one length unit to another ("" being metres),
// written with at most six significant digits: "230", "cm", "m" gives
// "2.3". A text that is not a plain number is given back unchanged.
std::string convert_number(std::string_view number, std::string_view from_unit, std::string_view to_unit);

// Gives key_name (a name of the section's key table, written as the file
// will show it) the value in section (0 for [Main], n for [Light n]). The
// line that holds the key in the section's first occurrence keeps its name
// and gets the value; without such a line, "name=value" goes behind the
// last line of the section, and a missing section is added with it ([Main]
// before the first section, a light section at the end). An empty value
// removes every line of the section that holds the key. Nothing when the
// bytes cannot be decoded (UTF-16 that is not).
std::optional<std::string> edit_key(const std::string& bytes, unsigned section, std::string_view key_name,
                                     std::string_view value);

// Writes the names of the other gear's keys as TailGear... (tail) or
// NoseGear... on the lines of [Main] that hold them.
std::optional<std::string> rename_other_gear(const std::string& bytes, bool tail);

// Makes the light sections match a number of lights: a missing [Light n]
// header for n up to count is added at the end, and a section beyond count
// that holds nothing but its header and empty lines is taken out.
std::optional<std::string> fit_light_sections(const std::string& bytes, unsigned count);

}  // namespace lumora
