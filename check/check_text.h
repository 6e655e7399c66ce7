// The definition file's own text for --check, read again as veska's reader
// cuts it into lines, so that a line number in one of veska's messages
// points at the same line here; and the notes about that text that veska
// does not give (a setting it ignores because the line begins with a blank,
// the other gear's keys named for two different gears).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "definition/definition.h"
#include "lights/value_notes.h"

namespace lumora {

constexpr int NO_SECTION = -1;

struct SourceLine {
    std::string visible;  // what the reader sees: up to a zero byte, the line end included
    int section;          // NO_SECTION, MAIN_SECTION or 1 .. 3 for [Light n], as the reader tracks it
};

struct DefinitionText {
    std::vector<SourceLine> lines;  // line n at index n - 1
};

// Reads the named file in binary mode, in pieces of at most 255 characters
// up to and including a line end, as the reader does. A file that cannot be
// opened or read gives the lines read until then (none).
DefinitionText read_definition_text(const char* name);

// Line n (from 1), or null when the file has no such line.
const SourceLine* source_line(const DefinitionText& text, std::uint32_t n);

// A key line cut up as the reader cuts it: the name after leading blanks,
// tabs and '=' up to the first '=' (without one, to the line end, line end
// included) and the value after it up to the line end.
struct Setting {
    std::string name;
    std::string value;
    bool has_equals;
};
Setting split_setting(const std::string& visible);

// The text up to its line end, without it.
std::string without_line_end(const std::string& visible);

// True when the file begins with the UTF-8 byte-order mark.
bool starts_with_byte_order_mark(const DefinitionText& text);

// The notes about the text, in the order of its lines, for the lines the
// reader got to (lines 1 .. lines_read).
std::vector<ValueNote> check_text(const DefinitionText& text, const Definition& definition,
                                     std::uint32_t lines_read);

}  // namespace lumora
