#include "check/check.h"

#include <cstring>
#include <string>
#include <vector>

#include "check/check_hints.h"
#include "check/check_text.h"
#include "lights/value_notes.h"
#include "lights/light_geometry.h"
#include "lights/lights_from_definition.h"

namespace lumora {

namespace {

constexpr char HINT_INDENT[] = "    ";

bool starts_at(const std::string& text, std::size_t at, const std::string& start)
{
    return text.compare(at, start.size(), start) == 0;
}

// Whether a new message or progress line begins at this place of what veska
// printed.
bool message_starts(const std::string& printed, std::size_t at, const std::string& name)
{
    for (const char* word : {"Fatal error in ", "Error in ", "Warning in ", "Info in "}) {
        if (starts_at(printed, at, word + name)) {
            return true;
        }
    }
    for (const char* line : {"Ground Pitch=", "[Light ", "Out of memory.", "Error opening definition file ",
                             "Error reading definition file "}) {
        if (starts_at(printed, at, line)) {
            return true;
        }
    }
    return false;
}

// The end of the message that begins at start. A message runs to its line
// end and over the lines after it that begin no new one (a name that holds
// its line end). "Unrecognised: " prints the line as the reader saw it,
// which may lack a line end: its length comes from the file's own line.
std::size_t message_end(const std::string& printed, std::size_t start, const std::string& name,
                        const DefinitionText& text)
{
    const std::string message_line = printed.substr(start, printed.find('\n', start) - start);
    const MessageParts parts = message_parts(name.c_str(), message_line);
    const SourceLine* source = source_line(text, parts.line);
    if (!parts.severity.empty() && source != nullptr && parts.body.compare(0, 14, "Unrecognised: ") == 0) {
        const std::size_t body_at = start + message_line.size() - parts.body.size() + 14;
        if (starts_at(printed, body_at, source->visible)) {
            return body_at + source->visible.size();
        }
    }
    std::size_t end = start;
    do {
        const std::size_t line_end = printed.find('\n', end);
        end = line_end == std::string::npos ? printed.size() : line_end + 1;
    } while (end < printed.size() && !message_starts(printed, end, name));
    return end;
}

std::vector<std::string> split_messages(const std::string& printed, const std::string& name,
                                        const DefinitionText& text)
{
    std::vector<std::string> messages;
    std::size_t start = 0;
    while (start < printed.size()) {
        const std::size_t end = message_end(printed, start, name, text);
        messages.push_back(printed.substr(start, end - start));
        start = end;
    }
    return messages;
}

bool is_error(const std::string& message, const std::string& name)
{
    return starts_at(message, 0, "Error in " + name) || starts_at(message, 0, "Fatal error in " + name) ||
           starts_at(message, 0, "Error opening definition file ") ||
           starts_at(message, 0, "Error reading definition file ") || starts_at(message, 0, "Out of memory.");
}

void print_warning(const Console& console, const std::string& name, const ValueNote& warning)
{
    if (warning.line != 0) {
        console_print(console, "Note in %s, line %u: %s\n", name.c_str(), static_cast<unsigned>(warning.line),
                      warning.text.c_str());
    } else {
        console_print(console, "Note in %s: %s\n", name.c_str(), warning.text.c_str());
    }
    console_print(console, "%s%s\n", HINT_INDENT, warning.hint.c_str());
}

}  // namespace

int run_check(const Console& console, const char* definition_name)
{
    // The same steps as veska's, their messages collected instead of printed.
    std::string printed;
    Diagnostics diagnostics{Console{nullptr, &printed}, definition_name, 0, 0};
    Definition definition{};
    LightSet lights{};
    const LightsOutcome outcome = read_and_compute_lights(diagnostics, definition, lights, definition_name);
    const bool read = outcome != LightsOutcome::not_read;
    const unsigned count = definition.light_count;
    const bool count_valid = count >= 1 && count <= LIGHT_COUNT_MAX;
    const bool would_write = outcome == LightsOutcome::computed && diagnostics.error_flag == 0;

    const std::string name = definition_name;
    const DefinitionText text = read_definition_text(definition_name);
    const CheckContext context{definition_name, text, definition};
    unsigned errors = 0;
    for (const std::string& message : split_messages(printed, name, text)) {
        console_write(console, message.c_str());
        if (message.empty() || message.back() != '\n') {
            console_write(console, "\n");
        }
        for (const std::string& hint : message_hints(context, message)) {
            console_print(console, "%s%s\n", HINT_INDENT, hint.c_str());
        }
        errors += is_error(message, name) ? 1 : 0;
    }
    if (read) {
        for (const ValueNote& note : check_text(text, definition, diagnostics.line_counter)) {
            print_warning(console, name, note);
        }
        for (const ValueNote& warning : note_values(definition, lights, count_valid ? count : 0)) {
            print_warning(console, name, warning);
        }
    }
    release_definition(definition);

    if (would_write) {
        console_write(console, "veska would write a model with this file.\n");
        return CHECK_WOULD_WRITE;
    }
    if (errors == 0) {
        console_write(console, "veska would not write a model with this file.\n");
    } else {
        console_print(console, "veska would not write a model with this file: it has %u error%s.\n", errors,
                      errors == 1 ? "" : "s");
    }
    return CHECK_WOULD_NOT_WRITE;
}

}  // namespace lumora
