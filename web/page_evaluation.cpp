#include "web/page_evaluation.h"

#include <cstring>

#include "basics/number_text.h"
#include "check/check.h"
#include "definition/keys.h"
#include "preview/preview.h"

namespace lumora {

namespace {

const char* severity_name(Severity severity)
{
    switch (severity) {
    case Severity::progress:
        return "progress";
    case Severity::info:
        return "info";
    case Severity::warning:
        return "warning";
    case Severity::error:
        return "error";
    case Severity::note:
        return "note";
    }
    return "";
}

const char* encoding_name(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::plain:
        return "plain text";
    case TextEncoding::plain_not_utf8:
        return "plain text, not UTF-8";
    case TextEncoding::utf8_with_mark:
        return "UTF-8 with byte-order mark";
    case TextEncoding::utf16_little_endian:
        return "UTF-16 (little-endian, with byte-order mark)";
    case TextEncoding::utf16_big_endian:
        return "UTF-16 (big-endian, with byte-order mark)";
    }
    return "";
}

// The form field that shows the key k of a section.
std::string field_key(const FormState& form, unsigned section, KeyId k)
{
    const KeyTable keys = section == MAIN_SECTION ? main_keys() : light_keys();
    for (const FormField& field : form.fields) {
        const KeyName* named = find_key(keys, field.key);
        if (field.section == section && named != nullptr && named->id == k) {
            return field.key;
        }
    }
    return std::string();
}

// Where a message belongs: the key line it names, else what it is about.
void place_message(const Definition& definition, const FormState& form, const Message& message, PageMessage& placed)
{
    placed.section = -1;
    const MessageId id = message.id;
    if (message.line != 0) {
        const SourceLine line = definition.lines.line(message.line);
        placed.section = line.section;
        if (line.section != NO_SECTION && line.continues == 0) {
            const KeyTable keys = line.section == 0 ? main_keys() : light_keys();
            const KeyName* key = find_key(keys, without_line_end(split_key_line(line.visible).name));
            if (key != nullptr && !line.visible.empty() && line.visible[0] != '[' && line.visible[0] != ' ' &&
                line.visible[0] != ';') {
                placed.key = field_key(form, static_cast<unsigned>(line.section), key->id);
            }
        }
        if (id != MessageId::invalid_light_count_in_line) {
            return;
        }
    }
    if (id == MessageId::lights_not_given || id == MessageId::invalid_light_count ||
        id == MessageId::invalid_light_count_in_line) {
        placed.section = MAIN_SECTION;
        placed.key = "Lights";
    } else if (id == MessageId::gear_incomplete || id == MessageId::gear_distance_too_small ||
               id == MessageId::ground_pitch) {
        placed.section = MAIN_SECTION;
    } else if (std::strncmp(message_format(id).format, "[Light %u]", 10) == 0 && !message.subjects.empty()) {
        placed.section = static_cast<int>(message.subjects[0].number);
    }
}

}  // namespace

PageEvaluation evaluate_definition(const std::string& name, const std::string& bytes)
{
    PageEvaluation page{};
    Definition definition;
    LightSet lights{};
    const CheckReport report = check_definition_bytes(name, bytes, definition, lights);
    page.readable = report.outcome != LightsOutcome::not_read;
    page.encoding = encoding_name(definition.encoding);
    page.would_write = report.would_write;
    page.errors = report.errors;
    page.verdict = check_verdict(report);
    page.verdict.pop_back();
    page.form = form_state(definition);
    page.light_count = definition.light_count;
    for (const DefinitionSection& section : definition.sections) {
        page.sections_defined.push_back(section.defined);
    }

    SourceLines::Cursor cursor(definition.lines);
    SourceLine line{};
    while (cursor.next(line)) {
        page.text += line.raw;
        page.lines.push_back({line.number, line.section, std::string(without_line_end(line.raw))});
    }
    for (const CheckRecord& record : report.records) {
        // The page shows where the lights shine and how the file was read in
        // places of their own.
        if (record.message.id == MessageId::lit_area || record.message.id == MessageId::encoding_read) {
            continue;
        }
        PageMessage placed{render_message(record.message, name), record.hint,
                           severity_name(message_format(record.message.id).severity), record.message.line, -1, ""};
        place_message(definition, page.form, record.message, placed);
        page.messages.push_back(std::move(placed));
    }
    if (report.outcome == LightsOutcome::not_read) {
        return page;
    }
    // The picture as --preview draws it after the same steps.
    MessageLog unheard;
    Diagnostics diagnostics{unheard, name};
    diagnostics.error_flag = report.error_flag;
    const Preview preview = draw_preview(diagnostics, definition, lights, report.outcome);
    page.svg = preview.svg;
    page.complete = preview.complete;
    page.lights_drawn = preview.lights;
    const GroundView view = compute_ground_view(definition.ground, lights, preview.lights);
    for (unsigned n = 1; n <= preview.lights; ++n) {
        const LitAreaFigures figures = lit_area_figures(view, n - 1);
        std::vector<std::string> cells;
        if (figures.state == LitArea::lit) {
            for (const double value : {figures.nearest, figures.farthest, figures.leftmost, figures.rightmost,
                                       figures.aim_ahead, figures.aim_x}) {
                cells.push_back(fixed_text(value, 0, 1));
            }
        }
        // A light not computed: its section is missing, or its values give
        // no beam.
        std::string text = lit_area_description(figures);
        if (figures.state == LitArea::not_computed) {
            text = definition.sections[n].defined ? "not computed: its values give no beam"
                                                  : "not computed: the file has no [Light " + std::to_string(n) + "] section";
        }
        page.figures.push_back({n, figures, text, std::move(cells)});
    }
    return page;
}

}  // namespace lumora
