#include "definition/reader.h"

#include <cstring>
#include <strings.h>

#include "definition/diagnostics.h"
#include "definition/keys.h"
#include "definition/whole_number.h"
#include "driver/run_state.h"
#include "lights/ground_pitch.h"

namespace {

// Marks the end of the text: outside a section it ends the file, inside one
// it ends the section.
constexpr char CTRL_Z = 0x1A;

const char* const SECTION_HEADERS[SECTION_COUNT] = {"[Main]", "[Light 1]", "[Light 2]", "[Light 3]"};

// A line is classified by its first character alone.
enum class LineKind { ignored, end_of_text, header, key };

// How the section read last stopped; none once the main loop has taken note.
enum class SectionEnd { none, end_of_text, next_header, end_of_input };

struct ReaderInput {
    std::FILE* stream;
    SectionEnd section_end;
};

LineKind classify_line(const char* line)
{
    switch (line[0]) {
    case ';':
    case ' ':
    case '\r':
    case '\n':
        return LineKind::ignored;
    case CTRL_Z:
        return LineKind::end_of_text;
    case '[':
        return LineKind::header;
    default:
        // Also a tab, and the empty text of a line that starts with a zero
        // byte.
        return LineKind::key;
    }
}

// Reads the next line, or the next 255 characters of a longer one, into the
// line buffer and counts it. At the end of the input (or on a read error)
// returns false and leaves the buffer as it was.
bool read_line(ReaderInput& input)
{
    char piece[LINE_BUFFER_SIZE];
    if (std::fgets(piece, sizeof piece, input.stream) == nullptr) {
        return false;
    }
    // A zero byte read from the file ends the line as far as the program can
    // see it; whatever followed it on the line is dropped.
    std::memcpy(run_state.line_buffer, piece, std::strlen(piece) + 1);
    ++run_state.line_counter;
    return true;
}

// Splits a key line into name and value and stores the value under the
// name's key. The line is cut up in place.
void parse_key_line(DefinitionSection& section, const KeyName* keys, char* line)
{
    char* name = line + std::strspn(line, " \t");
    name += std::strspn(name, "=");
    char* value = std::strchr(name, '=');
    if (value != nullptr) {
        *value++ = '\0';
    } else {
        // The name runs to the end of the line, its line end included.
        value = name + std::strlen(name);
    }
    value += std::strspn(value, "\r\n");
    value[std::strcspn(value, "\r\n")] = '\0';
    if (*value == '\0') {
        report_at_line("eName=%s, NO VALUE given.\n", name);
        return;
    }

    const KeyName* key = keys;
    while (key->id != 0 && strcasecmp(name, key->name) != 0) {
        ++key;
    }
    if (key->id == 0) {
        report_at_line("eUnrecognised name=%s\n", name);
        return;
    }
    if (add_entry(section, key->id, value) != 0) {
        report_at_line("eDuplicate definition: Name=%s\n", name);
    }
}

// Reads the lines of a section up to a Ctrl-Z line, a header (left in the
// line buffer) or the end of the input. Key lines are stored only when
// store is set.
SectionEnd read_section_lines(ReaderInput& input, DefinitionSection& section, const KeyName* keys, bool store)
{
    while (read_line(input)) {
        switch (classify_line(run_state.line_buffer)) {
        case LineKind::ignored:
            break;
        case LineKind::end_of_text:
            return SectionEnd::end_of_text;
        case LineKind::header:
            return SectionEnd::next_header;
        case LineKind::key:
            if (store) {
                parse_key_line(section, keys, run_state.line_buffer);
            }
            break;
        }
    }
    return SectionEnd::end_of_input;
}

// Reads one section's lines. A section met a second time draws an error and
// its lines are skipped: the first definition stays.
SectionEnd read_section_body(ReaderInput& input, DefinitionSection& section, const KeyName* keys)
{
    const bool repeated = section.defined != 0;
    if (repeated) {
        report_at_line("eSection %s defined already.\n", section.header);
    }
    const SectionEnd end = read_section_lines(input, section, keys, !repeated);
    section.defined = 1;
    input.section_end = end;
    return end;
}

int read_light_section(ReaderInput& input, unsigned index)
{
    read_section_body(input, run_state.sections[index], light_keys);
    return 0;
}

// Reads [Main], then settles the number of lights and computes the ground
// pitch, also when the section was repeated (on the entries of the first) or
// Lights is invalid. The file must not end inside [Main].
int read_main_section(ReaderInput& input)
{
    DefinitionSection& section = run_state.sections[MAIN_SECTION];
    int result = read_section_body(input, section, main_keys) == SectionEnd::end_of_input ? 1 : 0;

    const DefinitionEntry* lights = lookup_entry(section, KEY_LIGHTS);
    if (lights == nullptr) {
        report("eRequired parameter \"Lights=n\" was not specified.\n");
        result = 1;
    } else {
        run_state.light_count = low_bits_of_whole(get_number(section, KEY_LIGHTS, 0.0));
        if (run_state.light_count < 1 || run_state.light_count > 3) {
            report("eInvalid number of lights in line %u, must be 1,2 or 3.\n", lights->line);
            result = 1;
        }
    }
    compute_ground_pitch();
    return result;
}

// The line buffer holds a header line: reads the section it names. A header
// that names no section ends reading with failure.
int open_section(ReaderInput& input)
{
    char* line = run_state.line_buffer;
    line[std::strcspn(line, "\r\n")] = '\0';

    unsigned index = 0;
    while (index < SECTION_COUNT && strcasecmp(line, SECTION_HEADERS[index]) != 0) {
        ++index;
    }
    if (index == SECTION_COUNT) {
        report_at_line("eUnrecognised section: %s\n", line);
        line[0] = '\0';
        return 1;
    }
    if (index == MAIN_SECTION) {
        set_section_header(run_state.sections[MAIN_SECTION], line);
        return read_main_section(input);
    }
    if (run_state.sections[MAIN_SECTION].defined == 0) {
        report_at_line("e[Main] section must be specified first.\n");
    }
    if (index > run_state.light_count) {
        report_at_line("wThis section is not expected as \"Lights=%u\" only was specified.\n", run_state.light_count);
    }
    set_section_header(run_state.sections[index], line);
    return read_light_section(input, index);
}

}  // namespace

int read_definition_file(std::FILE* stream)
{
    ReaderInput input{stream, SectionEnd::none};
    run_state.line_buffer[0] = '\0';
    int result = 0;
    while (result == 0) {
        // After a section, the header that ended it is still in the buffer;
        // a section that ran to the end of the input ends the file.
        const SectionEnd section_end = input.section_end;
        input.section_end = SectionEnd::none;
        if (section_end == SectionEnd::end_of_input) {
            break;
        }
        if (section_end != SectionEnd::next_header && !read_line(input)) {
            break;
        }
        switch (classify_line(run_state.line_buffer)) {
        case LineKind::end_of_text:
            return 0;
        case LineKind::ignored:
            break;
        case LineKind::header:
            result = open_section(input);
            break;
        case LineKind::key:
            // The line's own line end ends the message.
            report_at_line("eUnrecognised: %s", run_state.line_buffer);
            break;
        }
    }
    return result;
}
