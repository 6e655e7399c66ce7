#include "definition/reader.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "basics/whole_number.h"
#include "platform/platform.h"

namespace lumora {

namespace {

// How a section stopped. stopped: reading cannot go on at all (memory
// exhausted).
enum class SectionEnd { end_of_text, next_header, end_of_input, stopped };

// One reading of a definition file: its lines, read one after the other.
struct Reader {
    Diagnostics& diagnostics;
    Definition& definition;
    SourceLines::Cursor cursor;
    std::string_view line;  // the line read last, as the reader sees it
    std::uint32_t line_number = 0;  // its number: the line its messages concern
    bool read_again = false;  // the header that ended a section is read once more, as the next line
};

}  // namespace

LineKind classify_line(std::string_view line)
{
    switch (line.empty() ? '\0' : line[0]) {
    case ';':
    case ' ':
    case '\r':
    case '\n':
        return LineKind::ignored;
    case END_OF_TEXT:
        return LineKind::end_of_text;
    case '[':
        return LineKind::header;
    default:
        // Also a tab, and the empty text of a line that starts with a zero
        // byte.
        return LineKind::key;
    }
}

const KeyName* key_of_line(std::string_view visible, int section, bool continues)
{
    if (section == NO_SECTION || continues || classify_line(visible) != LineKind::key) {
        return nullptr;
    }
    return find_key(section_keys(static_cast<unsigned>(section)), without_line_end(split_key_line(visible).name));
}

namespace {

// Reads the next line and counts it. At the end of the text returns false
// and leaves the line read last as it was.
bool read_line(Reader& reader)
{
    if (reader.read_again) {
        reader.read_again = false;
        return true;
    }
    SourceLine line{};
    if (!reader.cursor.next(line)) {
        return false;
    }
    reader.line = line.visible;
    reader.line_number = line.number;
    return true;
}

// Without memory for a text it must keep, the reader cannot go on: it says
// so and reading fails at once (false).
bool out_of_memory(Reader& reader)
{
    report(reader.diagnostics, MessageId::out_of_memory);
    return false;
}

// Splits a key line into name and value and stores the value under the
// name's key. False when memory is exhausted.
bool parse_key_line(Reader& reader, DefinitionSection& section, const KeyTable& keys)
{
    Diagnostics& diagnostics = reader.diagnostics;
    const KeyLine key_line = split_key_line(reader.line);
    if (key_line.value.empty()) {
        report(diagnostics, MessageId::no_value, {std::string(key_line.name)}, reader.line_number);
        return true;
    }
    const KeyName* key = find_key(keys, key_line.name);
    if (key == nullptr) {
        report(diagnostics, MessageId::unrecognised_name, {std::string(key_line.name)}, reader.line_number);
        return true;
    }
    bool added = false;
    try {
        added = add_entry(section, key->id, std::string(key_line.value), reader.line_number);
    } catch (const std::bad_alloc&) {
        return out_of_memory(reader);
    }
    if (!added) {
        report(diagnostics, MessageId::duplicate_definition, {std::string(key_line.name)}, reader.line_number);
    }
    return true;
}

// Reads one section's lines up to an end-of-text line, a header (which the
// next read_line gives again) or the end of the text, and says how it ended. A
// section met a second time draws an error and its key lines are skipped:
// the first definition stays.
SectionEnd read_section_body(Reader& reader, DefinitionSection& section, const KeyTable& keys)
{
    const bool store = !section.defined;
    if (!store) {
        report(reader.diagnostics, MessageId::section_defined_already, {section.header}, reader.line_number);
    }
    section.defined = true;
    SectionEnd end = SectionEnd::end_of_input;
    while (end == SectionEnd::end_of_input && read_line(reader)) {
        switch (classify_line(reader.line)) {
        case LineKind::ignored:
            break;
        case LineKind::end_of_text:
            end = SectionEnd::end_of_text;
            break;
        case LineKind::header:
            end = SectionEnd::next_header;
            reader.read_again = true;
            break;
        case LineKind::key:
            if (store && !parse_key_line(reader, section, keys)) {
                end = SectionEnd::stopped;
            }
            break;
        }
    }
    return end;
}

// Reads [Main], then settles the number of lights and computes the ground
// pitch, also when the section was repeated (on the entries of the first) or
// Lights is invalid. The file must not end inside [Main].
bool read_main_section(Reader& reader)
{
    Diagnostics& diagnostics = reader.diagnostics;
    Definition& definition = reader.definition;
    DefinitionSection& section = definition.sections[MAIN_SECTION];
    const SectionEnd end = read_section_body(reader, section, section_keys(MAIN_SECTION));
    if (end == SectionEnd::stopped) {
        return false;
    }
    bool success = end != SectionEnd::end_of_input;

    const DefinitionEntry* lights = lookup_entry(section, KeyId::lights);
    if (lights == nullptr) {
        report(diagnostics, MessageId::lights_not_given);
        success = false;
    } else {
        definition.light_count = low_bits_of_whole(get_key_value(diagnostics, section, KeyId::lights, 0.0));
        if (definition.light_count < 1 || definition.light_count > 3) {
            report(diagnostics, MessageId::invalid_light_count_in_line, {lights->line}, lights->line);
            success = false;
        }
    }
    compute_ground_pitch(diagnostics, section, definition.ground);
    // A file that ends inside [Main] has no light section after it: say
    // which of the configured ones are missing.
    if (end == SectionEnd::end_of_input && definition.light_count >= 1 && definition.light_count <= 3) {
        for (std::uint32_t n = 1; n <= definition.light_count; ++n) {
            if (!definition.sections[n].defined) {
                report(diagnostics, MessageId::light_not_specified, {n});
            }
        }
    }
    return success;
}

// The line read last is a header line: reads the section it names. A header
// that names no section ends reading with failure.
bool open_section(Reader& reader)
{
    Diagnostics& diagnostics = reader.diagnostics;
    Definition& definition = reader.definition;
    const std::string_view header = without_line_end(reader.line);
    const int named = header_section(header);
    if (named == NO_SECTION) {
        report(diagnostics, MessageId::unrecognised_section, {std::string(header)}, reader.line_number);
        return false;
    }
    const auto index = static_cast<unsigned>(named);
    if (index != MAIN_SECTION) {
        if (!definition.sections[MAIN_SECTION].defined) {
            report(diagnostics, MessageId::main_section_first, {}, reader.line_number);
        }
        if (index > definition.light_count) {
            report(diagnostics, MessageId::section_not_expected, {definition.light_count}, reader.line_number);
        }
    }
    DefinitionSection& section = definition.sections[index];
    try {
        section.header = std::string(header);
    } catch (const std::bad_alloc&) {
        return out_of_memory(reader);
    }
    if (section.header_line == 0) {
        section.header_line = reader.line_number;
    }
    return index == MAIN_SECTION
               ? read_main_section(reader)
               : read_section_body(reader, section, section_keys(index)) != SectionEnd::stopped;
}

}  // namespace

ReadOutcome read_definition_bytes(Diagnostics& diagnostics, Definition& definition, std::string bytes)
{
    // The text and its lines are held whole: a file too large for that is
    // a file that cannot be read, as is one that claims UTF-16 but is none.
    int error = 0;
    try {
        DecodedText decoded = decode_definition_bytes(std::move(bytes));
        definition.encoding = decoded.encoding;
        if (decoded.valid) {
            definition.lines = SourceLines(std::move(decoded.text));
        } else {
            error = EILSEQ;
        }
    } catch (const std::bad_alloc&) {
        error = ENOMEM;
    }
    if (error != 0) {
        report(diagnostics, MessageId::definition_read_error, {diagnostics.definition_name, std::strerror(error)});
        return ReadOutcome::not_read;
    }
    Reader reader{diagnostics, definition, SourceLines::Cursor(definition.lines), std::string_view(), 0, false};
    bool success = true;
    // A section that ran to the end of the text ends the file.
    while (success && read_line(reader)) {
        switch (classify_line(reader.line)) {
        case LineKind::end_of_text:
            definition.lines_read = reader.line_number;
            return ReadOutcome::read;
        case LineKind::ignored:
            break;
        case LineKind::header:
            success = open_section(reader);
            break;
        case LineKind::key:
            // The line's own line end ends the message.
            report(diagnostics, MessageId::unrecognised_line, {std::string(reader.line)}, reader.line_number);
            break;
        }
    }
    definition.lines_read = reader.line_number;
    return success ? ReadOutcome::read : ReadOutcome::failed;
}

ReadOutcome read_definition_named(Diagnostics& diagnostics, FileSystem& files, Definition& definition,
                                  const std::optional<std::string>& name)
{
    if (!name) {
        report(diagnostics, MessageId::definition_open_error, {"(none)", std::strerror(ENOENT)});
        return ReadOutcome::not_read;
    }
    FileBytes bytes;
    ReadResult read = files.read_file(*name, ReadLimits{DEFINITION_MOST, false, false}, bytes);
    std::string text;
    try {
        text = read.error == 0 ? std::string(bytes.view()) : std::string();
    } catch (const std::bad_alloc&) {
        read = {ENOMEM, ReadStep::reading};
    }
    if (read.error != 0) {
        report(diagnostics,
               read.step == ReadStep::opening ? MessageId::definition_open_error : MessageId::definition_read_error,
               {*name, std::strerror(read.error)});
        if (read.error == EACCES && file_in_use(*name)) {
            report(diagnostics, MessageId::file_in_use);
        }
        return ReadOutcome::not_read;
    }
    bytes.clear();
    return read_definition_bytes(diagnostics, definition, std::move(text));
}

}  // namespace lumora
