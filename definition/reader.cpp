#include "definition/reader.h"

#include <cerrno>
#include <cstring>

#include "basics/text.h"
#include "basics/whole_number.h"
#include "definition/keys.h"
#include "platform/platform.h"

namespace lumora {

namespace {

// Marks the end of the text: outside a section it ends the file, inside one
// it ends the section.
constexpr char CTRL_Z = 0x1A;

constexpr char SECTION_HEADERS[SECTION_COUNT][10] = {"[Main]", "[Light 1]", "[Light 2]", "[Light 3]"};

// A line is classified by its first character alone.
enum class LineKind { ignored, end_of_text, header, key };

// How the section read last stopped; none once the main loop has taken note.
// stopped: reading cannot go on at all (a read error, memory exhausted).
enum class SectionEnd { none, end_of_text, next_header, end_of_input, stopped };

// One reading of a definition file.
struct Reader {
    Diagnostics& diagnostics;
    Definition& definition;
    std::FILE* stream;
    SectionEnd section_end;
    int read_error;  // the error number of a failed read, 0 while none failed
    char line_buffer[LINE_BUFFER_SIZE];
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
// line buffer and counts it. At the end of the input, or when reading fails
// (the error is kept in the reader), returns false and leaves the buffer as
// it was.
bool read_line(Reader& reader)
{
    char piece[LINE_BUFFER_SIZE];
    errno = 0;
    if (std::fgets(piece, sizeof piece, reader.stream) == nullptr) {
        if (std::ferror(reader.stream) != 0) {
            reader.read_error = errno != 0 ? errno : EIO;
        }
        return false;
    }
    // A zero byte read from the file ends the line as far as the program can
    // see it; whatever followed it on the line is dropped.
    std::memcpy(reader.line_buffer, piece, std::strlen(piece) + 1);
    ++reader.diagnostics.line_counter;
    return true;
}

// Without memory for a text it must keep, the reader cannot go on: it says
// so and reading fails at once.
SectionEnd out_of_memory(Reader& reader)
{
    console_write(reader.diagnostics.console, "Out of memory.\n");
    return SectionEnd::stopped;
}

// Splits a key line into name and value and stores the value under the
// name's key. The line is cut up in place. Gives stopped when memory is
// exhausted, none otherwise.
SectionEnd parse_key_line(Reader& reader, DefinitionSection& section, const KeyName* keys, char* line)
{
    Diagnostics& diagnostics = reader.diagnostics;
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
        report_at_line(diagnostics, "eName=%s, NO VALUE given.\n", name);
        return SectionEnd::none;
    }

    const KeyName* key = keys;
    while (key->id != 0 && !equal_ignoring_case(name, key->name)) {
        ++key;
    }
    if (key->id == 0) {
        report_at_line(diagnostics, "eUnrecognised name=%s\n", name);
        return SectionEnd::none;
    }
    const int added = add_entry(section, key->id, value, diagnostics.line_counter);
    if (added == ENTRY_NO_MEMORY) {
        return out_of_memory(reader);
    }
    if (added == ENTRY_DUPLICATE) {
        report_at_line(diagnostics, "eDuplicate definition: Name=%s\n", name);
    }
    return SectionEnd::none;
}

// Reads the lines of a section up to a Ctrl-Z line, a header (left in the
// line buffer) or the end of the input. Key lines are stored only when
// store is set.
SectionEnd read_section_lines(Reader& reader, DefinitionSection& section, const KeyName* keys, bool store)
{
    while (read_line(reader)) {
        switch (classify_line(reader.line_buffer)) {
        case LineKind::ignored:
            break;
        case LineKind::end_of_text:
            return SectionEnd::end_of_text;
        case LineKind::header:
            return SectionEnd::next_header;
        case LineKind::key:
            if (store && parse_key_line(reader, section, keys, reader.line_buffer) == SectionEnd::stopped) {
                return SectionEnd::stopped;
            }
            break;
        }
    }
    return reader.read_error != 0 ? SectionEnd::stopped : SectionEnd::end_of_input;
}

// Reads one section's lines. A section met a second time draws an error and
// its lines are skipped: the first definition stays.
SectionEnd read_section_body(Reader& reader, DefinitionSection& section, const KeyName* keys)
{
    const bool repeated = section.defined != 0;
    if (repeated) {
        report_at_line(reader.diagnostics, "eSection %s defined already.\n", section.header);
    }
    const SectionEnd end = read_section_lines(reader, section, keys, !repeated);
    section.defined = 1;
    reader.section_end = end;
    return end;
}

int read_light_section(Reader& reader, unsigned index)
{
    const SectionEnd end = read_section_body(reader, reader.definition.sections[index], light_keys);
    return end == SectionEnd::stopped ? 1 : 0;
}

// Reads [Main], then settles the number of lights and computes the ground
// pitch, also when the section was repeated (on the entries of the first) or
// Lights is invalid. The file must not end inside [Main].
int read_main_section(Reader& reader)
{
    Diagnostics& diagnostics = reader.diagnostics;
    Definition& definition = reader.definition;
    DefinitionSection& section = definition.sections[MAIN_SECTION];
    const SectionEnd end = read_section_body(reader, section, main_keys);
    if (end == SectionEnd::stopped) {
        return 1;
    }
    int result = end == SectionEnd::end_of_input ? 1 : 0;

    const DefinitionEntry* lights = lookup_entry(section, KEY_LIGHTS);
    if (lights == nullptr) {
        report(diagnostics, "eRequired parameter \"Lights=n\" was not specified.\n");
        result = 1;
    } else {
        definition.light_count = low_bits_of_whole(get_number(diagnostics, section, KEY_LIGHTS, 0.0));
        if (definition.light_count < 1 || definition.light_count > 3) {
            report(diagnostics, "eInvalid number of lights in line %u, must be 1,2 or 3.\n", lights->line);
            result = 1;
        }
    }
    compute_ground_pitch(diagnostics, section, definition.ground);
    // A file that ends inside [Main] has no light section after it: say
    // which of the configured ones are missing.
    if (end == SectionEnd::end_of_input && definition.light_count >= 1 && definition.light_count <= 3) {
        for (unsigned n = 1; n <= definition.light_count; ++n) {
            if (definition.sections[n].defined == 0) {
                report(diagnostics, "e[Light %u] not specified in definition file.\n", n);
            }
        }
    }
    return result;
}

// The line buffer holds a header line: reads the section it names. A header
// that names no section ends reading with failure.
int open_section(Reader& reader)
{
    Diagnostics& diagnostics = reader.diagnostics;
    Definition& definition = reader.definition;
    char* line = reader.line_buffer;
    line[std::strcspn(line, "\r\n")] = '\0';

    unsigned index = 0;
    while (index < SECTION_COUNT && !equal_ignoring_case(line, SECTION_HEADERS[index])) {
        ++index;
    }
    if (index == SECTION_COUNT) {
        report_at_line(diagnostics, "eUnrecognised section: %s\n", line);
        line[0] = '\0';
        return 1;
    }
    if (index != MAIN_SECTION) {
        if (definition.sections[MAIN_SECTION].defined == 0) {
            report_at_line(diagnostics, "e[Main] section must be specified first.\n");
        }
        if (index > definition.light_count) {
            report_at_line(diagnostics, "wThis section is not expected as \"Lights=%u\" only was specified.\n",
                           definition.light_count);
        }
    }
    if (set_section_header(definition.sections[index], line) != 0) {
        out_of_memory(reader);
        return 1;
    }
    return index == MAIN_SECTION ? read_main_section(reader) : read_light_section(reader, index);
}

}  // namespace

int read_definition_file(Diagnostics& diagnostics, Definition& definition, std::FILE* stream)
{
    Reader reader{diagnostics, definition, stream, SectionEnd::none, 0, {}};
    int result = 0;
    while (result == 0) {
        // After a section, the header that ended it is still in the buffer;
        // a section that ran to the end of the input ends the file.
        const SectionEnd section_end = reader.section_end;
        reader.section_end = SectionEnd::none;
        if (section_end == SectionEnd::end_of_input) {
            break;
        }
        if (section_end != SectionEnd::next_header && !read_line(reader)) {
            break;
        }
        switch (classify_line(reader.line_buffer)) {
        case LineKind::end_of_text:
            return 0;
        case LineKind::ignored:
            break;
        case LineKind::header:
            result = open_section(reader);
            break;
        case LineKind::key:
            // The line's own line end ends the message.
            report_at_line(diagnostics, "eUnrecognised: %s", reader.line_buffer);
            break;
        }
    }
    if (reader.read_error != 0) {
        // Whatever was read is not the whole file: nothing more is said of
        // it, and nothing is written.
        console_print(diagnostics.console, "Error reading definition file %s: %s\n",
                      diagnostics.definition_name != nullptr ? diagnostics.definition_name : "",
                      std::strerror(reader.read_error));
        return DEFINITION_NOT_READ;
    }
    return result;
}

int read_definition_named(Diagnostics& diagnostics, Definition& definition, const char* name)
{
    // A folder opens on some systems and not on others; everywhere it gives
    // the error that reading it gives where it opens.
    FileInfo info{};
    if (name != nullptr && file_info(name, true, info) == 0 && info.kind == FileKind::directory) {
        console_print(diagnostics.console, "Error reading definition file %s: %s\n", name, std::strerror(EISDIR));
        return DEFINITION_NOT_READ;
    }
    std::FILE* stream = name != nullptr ? open_file(name, "rb") : nullptr;
    if (stream == nullptr) {
        console_print(diagnostics.console, "Error opening definition file %s: %s\n",
                      name != nullptr ? name : "(none)", std::strerror(name != nullptr ? errno : ENOENT));
        return DEFINITION_NOT_READ;
    }
    const int result = read_definition_file(diagnostics, definition, stream);
    std::fclose(stream);
    return result;
}

}  // namespace lumora
