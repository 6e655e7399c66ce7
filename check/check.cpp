#include "check/check.h"

#include "basics/text.h"
#include "check/check_hints.h"
#include "lights/ground_view.h"
#include "lights/light_geometry.h"
#include "lights/lights_from_definition.h"
#include "lights/value_notes.h"

namespace lumora {

namespace {

constexpr char HINT_INDENT[] = "    ";

// Prints each message as veska prints it, on a line of its own, with its
// hint under it, as the run reports it; and counts the errors.
class CheckPrinter final : public MessageSink {
public:
    CheckPrinter(Console console, const CheckContext& context) : console_(console), context_(context) {}

    void take(const Message& message, const std::string& definition_name) override
    {
        std::string text = render_message(message, definition_name);
        if (text.empty() || text.back() != '\n') {
            text += '\n';
        }
        const std::string hint = message_hint(context_, message);
        if (!hint.empty()) {
            text += HINT_INDENT + hint + "\n";
        }
        console_write(console_, text);
        errors_ += message_format(message.id).severity == Severity::error ? 1 : 0;
    }

    unsigned errors() const { return errors_; }

private:
    Console console_;
    const CheckContext& context_;
    unsigned errors_ = 0;
};

// A line that begins with a blank is ignored; it deserves a note when it
// holds more than blanks and a comment.
bool ignored_setting(std::string_view visible)
{
    if (visible.empty() || visible[0] != ' ') {
        return false;
    }
    const std::size_t first = visible.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && visible[first] != ';';
}

bool starts_with_ignoring_case(std::string_view text, std::string_view start)
{
    return text.size() >= start.size() && equal_ignoring_case(text.substr(0, start.size()), start);
}

// The notes on the file's text that veska does not give, in the order of
// its lines, for the lines the reader got to (1 .. lines_read): a setting on
// a line that begins with a blank, and the other gear's keys named for two
// different gears (at the later of the two).
void note_text(MessageSink& sink, const std::string& name, const Definition& definition, std::uint32_t lines_read)
{
    const DefinitionSection& main = definition.sections[MAIN_SECTION];
    const DefinitionEntry* height = lookup_entry(main, KeyId::other_gear_height);
    const DefinitionEntry* dist = lookup_entry(main, KeyId::other_gear_dist);
    const auto written_name = [&](const DefinitionEntry* entry) {
        return entry != nullptr ? std::string(split_key_line(definition.lines.line(entry->line).visible).name)
                                : std::string();
    };
    const std::string height_name = written_name(height);
    const std::string dist_name = written_name(dist);
    const bool mixed = height != nullptr && dist != nullptr &&
                       starts_with_ignoring_case(height_name, "Tail") != starts_with_ignoring_case(dist_name, "Tail");
    const std::uint32_t mixed_line = mixed ? (height->line > dist->line ? height->line : dist->line) : 0;

    SourceLines::Cursor cursor(definition.lines);
    SourceLine line{};
    while (cursor.next(line) && line.number <= lines_read) {
        if (ignored_setting(line.visible)) {
            sink.take(Message{MessageId::note_line_ignored, line.number, {}}, name);
        }
        if (line.number == mixed_line) {
            const bool height_first = height->line < dist->line;
            const DefinitionEntry* first = height_first ? height : dist;
            sink.take(Message{MessageId::note_gears_mixed, line.number,
                              {height_first ? height_name : dist_name, first->line,
                               height_first ? dist_name : height_name}},
                      name);
        }
    }
}

const char* encoding_words(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::utf8_with_mark:
        return "UTF-8; its byte-order mark was skipped";
    case TextEncoding::utf16_little_endian:
        return "UTF-16 little-endian text (what editors save as \"Unicode\"), converted to UTF-8";
    case TextEncoding::utf16_big_endian:
        return "UTF-16 big-endian text (what editors save as \"Unicode big endian\"), converted to UTF-8";
    case TextEncoding::plain:
        break;
    }
    return "plain text (ASCII or UTF-8, without a byte-order mark)";
}

}  // namespace

int run_check(const Console& console, const std::string& definition_name)
{
    Definition definition;
    const CheckContext context(definition);
    CheckPrinter printer(console, context);
    // The same steps as veska's, each message printed with its hint as it
    // comes.
    Diagnostics diagnostics{printer, definition_name};
    LightSet lights{};
    const LightsOutcome outcome = read_and_compute_lights(diagnostics, definition, lights, definition_name);
    const std::uint32_t count = definition.light_count;
    const bool count_valid = count >= 1 && count <= LIGHT_COUNT_MAX;
    const bool would_write = outcome == LightsOutcome::computed && !diagnostics.error_flag;
    if (outcome != LightsOutcome::not_read) {
        note_text(printer, definition_name, definition, diagnostics.line_counter);
        const unsigned shown = count_valid ? count : 0;
        for (const Message& note : note_values(definition, lights, shown)) {
            printer.take(note, definition_name);
        }
        // Where each computed light shines, in numbers.
        const GroundView view = compute_ground_view(definition.ground, lights, shown);
        for (std::uint32_t i = 0; i < view.light_count; ++i) {
            if (lights.values[i].computed) {
                printer.take(Message{MessageId::lit_area, 0, {i + 1, lit_area_description(lit_area_figures(view, i))}},
                             definition_name);
            }
        }
    }

    if (outcome != LightsOutcome::not_read) {
        printer.take(Message{MessageId::encoding_read, 0, {encoding_words(definition.encoding)}}, definition_name);
    }
    if (would_write) {
        console_write(console, "veska would write a model with this file.\n");
        return CHECK_WOULD_WRITE;
    }
    const unsigned errors = printer.errors();
    if (errors == 0) {
        console_write(console, "veska would not write a model with this file.\n");
    } else {
        console_print(console, "veska would not write a model with this file: it has %u error%s.\n", errors,
                      errors == 1 ? "" : "s");
    }
    return CHECK_WOULD_NOT_WRITE;
}

}  // namespace lumora
