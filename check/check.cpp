#include "check/check.h"

#include <optional>

#include "basics/text.h"
#include "check/check_hints.h"
#include "definition/keys.h"
#include "lights/ground_view.h"
#include "lights/light_geometry.h"
#include "lights/lights_from_definition.h"
#include "lights/value_notes.h"

namespace lumora {

namespace {

constexpr char HINT_INDENT[] = "    ";

// The check's hints on a printing sink: prints each message as veska does,
// then prints the message's hint, worked out as the run reports it (the
// definition as read so far), indented under it, the message's line ended
// first where the message leaves it open. Counts the errors, and keeps each
// message with its hint where records are given: the command line's check
// keeps nothing, so that a file of millions of faulty lines costs no more
// memory than its text.
class CheckHints final : public MessageSink {
public:
    CheckHints(Console console, const Definition& definition, CheckReport& report, std::vector<CheckRecord>* records)
        : printer_(console), console_(console), context_(definition), report_(report), records_(records)
    {
    }

    void take(const Message& message, const std::string& definition_name) override
    {
        printer_.take(message, definition_name);
        CheckRecord record{message, message_hint(context_, message)};
        std::string text = printer_.line_open() ? "\n" : "";
        if (!record.hint.empty()) {
            text += HINT_INDENT + record.hint + "\n";
        }
        console_write(console_, text);
        report_.errors += message_format(message.id).severity == Severity::error ? 1 : 0;
        if (records_ != nullptr) {
            records_->push_back(std::move(record));
        }
    }

private:
    MessagePrinter printer_;
    Console console_;
    const CheckContext context_;
    CheckReport& report_;
    std::vector<CheckRecord>* records_;
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

// The note on the first setting of a known key that a lone carriage return
// or a zero byte hides on this line (veska reads a value only up to a
// carriage return and a line only up to a zero byte), or none.
std::optional<Message> hidden_key_note(const SourceLine& line)
{
    if (line.section == NO_SECTION) {
        return std::nullopt;
    }
    const KeyTable keys = section_keys(static_cast<unsigned>(line.section));
    std::string_view text = line.raw;
    // The line's own end, "\n" or "\r\n", hides nothing.
    if (!text.empty() && text.back() == '\n') {
        text.remove_suffix(1);
        if (!text.empty() && text.back() == '\r') {
            text.remove_suffix(1);
        }
    }
    constexpr std::string_view hiders("\r\0", 2);
    for (std::size_t at = text.find_first_of(hiders); at != std::string_view::npos;
         at = text.find_first_of(hiders, at + 1)) {
        const std::string_view rest = text.substr(at + 1);
        const KeyLine piece = split_key_line(rest.substr(0, rest.find_first_of(hiders)));
        if (piece.has_equals && find_key(keys, piece.name) != nullptr) {
            const bool by_zero = text.find('\0') <= at;
            return Message{by_zero ? MessageId::note_key_hidden_by_zero : MessageId::note_key_hidden_by_return,
                           line.number, {std::string(piece.name)}};
        }
    }
    return std::nullopt;
}

// The notes on the file's text that veska does not give, in the order of
// its lines, for the lines the reader got to (1 .. lines_read): a setting on
// a line that begins with a blank, a setting hidden behind a lone carriage
// return or a zero byte, and the other gear's keys named for two
// different gears (at the later of the two).
void note_text(MessageSink& sink, const std::string& name, const Definition& definition)
{
    const DefinitionSection& main = definition.sections[MAIN_SECTION];
    const DefinitionEntry* height = lookup_entry(main, KeyId::other_gear_height);
    const DefinitionEntry* dist = lookup_entry(main, KeyId::other_gear_dist);
    const std::string height_name = written_name(definition, height);
    const std::string dist_name = written_name(definition, dist);
    const bool mixed = height != nullptr && dist != nullptr &&
                       names_nose_gear(height_name) != names_nose_gear(dist_name);
    const std::uint32_t mixed_line = mixed ? (height->line > dist->line ? height->line : dist->line) : 0;

    SourceLines::Cursor cursor(definition.lines);
    SourceLine line{};
    while (cursor.next(line) && line.number <= definition.lines_read) {
        if (ignored_setting(line.visible)) {
            sink.take(Message{MessageId::note_line_ignored, line.number, {}}, name);
        }
        if (const std::optional<Message> hidden = hidden_key_note(line)) {
            sink.take(*hidden, name);
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

// The check's steps after veska's reading and computing (report.outcome):
// the notes on the text and on the values, where each computed light's lit
// area lies, how the file was read, and whether veska would write.
void finish_check(CheckReport& report, const Definition& definition, const LightSet& lights,
                  const Diagnostics& diagnostics)
{
    const std::string& name = diagnostics.definition_name;
    const std::uint32_t count = definition.light_count;
    const bool count_valid = count >= 1 && count <= LIGHT_COUNT_MAX;
    report.error_flag = diagnostics.error_flag;
    report.would_write = report.outcome == LightsOutcome::computed && !diagnostics.error_flag;
    if (report.outcome == LightsOutcome::not_read) {
        return;
    }
    note_text(diagnostics.sink, name, definition);
    const unsigned shown = count_valid ? count : 0;
    for (const Message& note : note_values(definition, lights, shown)) {
        diagnostics.sink.take(note, name);
    }
    const GroundView view = compute_ground_view(definition.ground, lights, shown);
    for (std::uint32_t i = 0; i < view.light_count; ++i) {
        if (!lights.values[i].computed) {
            continue;
        }
        const LitAreaFigures figures = lit_area_figures(view, i);
        if (figures.state != LitArea::lit) {
            report.dark_lights.push_back(i + 1);
        }
        diagnostics.sink.take(Message{MessageId::lit_area, 0, {i + 1, lit_area_description(figures)}}, name);
    }
    diagnostics.sink.take(Message{MessageId::encoding_read, 0, {encoding_words(definition.encoding).as_read}}, name);
}

}  // namespace

CheckReport check_definition_bytes(const std::string& name, std::string bytes, Definition& definition,
                                   LightSet& lights)
{
    CheckReport report;
    CheckHints collector(Console{}, definition, report, &report.records);
    Diagnostics diagnostics{collector, name};
    report.outcome = compute_lights_from_bytes(diagnostics, definition, lights, std::move(bytes));
    finish_check(report, definition, lights, diagnostics);
    return report;
}

std::string check_verdict(const CheckReport& report)
{
    if (report.would_write) {
        // Written, but where lights light no ground, not what a landing
        // light is for: say which.
        std::vector<Subject> dark{static_cast<std::uint32_t>(report.dark_lights.size())};
        dark.insert(dark.end(), report.dark_lights.begin(), report.dark_lights.end());
        return render_message(Message{MessageId::would_write, 0, std::move(dark)}, std::string());
    }
    return render_message(Message{MessageId::would_not_write, 0, {report.errors != 0, report.errors}}, std::string());
}

int run_check(const Console& console, FileSystem& files, const std::string& definition_name)
{
    CheckReport report;
    Definition definition;
    CheckHints collector(console, definition, report, nullptr);
    // The same steps as veska's, each message printed with its hint as it
    // comes.
    Diagnostics diagnostics{collector, definition_name};
    LightSet lights{};
    report.outcome = read_and_compute_lights(diagnostics, files, definition, lights, definition_name);
    finish_check(report, definition, lights, diagnostics);
    console_write(console, check_verdict(report));
    return report.would_write ? 0 : 1;
}

}  // namespace lumora
