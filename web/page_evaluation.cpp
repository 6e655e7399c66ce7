#include "web/page_evaluation.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "basics/number_text.h"
#include "basics/windows_1252.h"
#include "check/check.h"
#include "check/check_fixes.h"
#include "definition/definition_text.h"
#include "definition/keys.h"
#include "definition/reader.h"
#include "preview/preview.h"

namespace lumora {

namespace {

// The form field that shows the key k of a section: the key's name as the
// form writes it (the form has a field for every key), empty where the
// section has no such key.
std::string field_key(const FormState& form, unsigned section, KeyId k)
{
    const KeyName& key = key_by_id(k, !form.other_gear_tail);
    return section < SECTION_COUNT && find_key(section_keys(section), key.name) == &key ? key.name : "";
}

// The key whose value fixes a message about a light's values, where the
// message says.
constexpr std::pair<MessageId, KeyId> FIXING_KEYS[] = {
    {MessageId::note_max_range_not_positive, KeyId::max_range},
    {MessageId::beam_not_computable, KeyId::max_range},
    {MessageId::note_spot_width_not_positive, KeyId::spot_width},
    {MessageId::note_spot_depth_not_positive, KeyId::spot_depth},
    {MessageId::note_lit_area_behind_light, KeyId::spot_depth},
    {MessageId::note_direction_backwards, KeyId::direction},
    {MessageId::note_light_not_above_ground, KeyId::z_offset},
    {MessageId::note_beam_lights_no_ground, KeyId::pitch},
    {MessageId::note_pitch_steep, KeyId::pitch},
    {MessageId::gear_distance_too_small, KeyId::main_gear_dist},
};

// Where a message belongs: the key line it names, else what it is about;
// and the fields whose values fix it.
void place_message(const Definition& definition, const FormState& form, const Message& message, PageMessage& placed)
{
    const MessageId id = message.id;
    // Line 0 (none) is no line of any section.
    const SourceLine line = definition.lines.line(message.line);
    placed.section = line.section;
    if (const KeyName* key = key_of_line(line.visible, line.section, line.continues != 0)) {
        placed.key = field_key(form, static_cast<unsigned>(line.section), key->id);
    }
    // Without a line (and for a bad Lights value, also with its line), by
    // what it is about.
    if (message.line == 0 || id == MessageId::invalid_light_count_in_line) {
        if (id == MessageId::lights_not_given || id == MessageId::invalid_light_count ||
            id == MessageId::invalid_light_count_in_line) {
            placed.section = MAIN_SECTION;
            placed.key = key_by_id(KeyId::lights).name;
        } else if (id == MessageId::gear_incomplete || id == MessageId::gear_distance_too_small ||
                   id == MessageId::ground_pitch) {
            placed.section = MAIN_SECTION;
        } else if (message_format(id).topic == Topic::light && !message.subjects.empty()) {
            placed.section = static_cast<int>(message.subjects[0].number);
        }
    }
    const auto fixes = [&](const std::pair<MessageId, KeyId>& entry) { return entry.first == id; };
    const auto fixing = std::find_if(std::begin(FIXING_KEYS), std::end(FIXING_KEYS), fixes);
    if (id == MessageId::gear_incomplete) {
        // At each gear key the file lacks.
        for (const KeyId gear : {KeyId::main_gear_height, KeyId::main_gear_dist, KeyId::other_gear_height,
                                 KeyId::other_gear_dist}) {
            if (lookup_entry(definition.sections[MAIN_SECTION], gear) == nullptr) {
                placed.keys.push_back(field_key(form, MAIN_SECTION, gear));
            }
        }
    } else if (fixing != std::end(FIXING_KEYS) && placed.section >= 0) {
        placed.keys.push_back(field_key(form, static_cast<unsigned>(placed.section), fixing->second));
    } else if (!placed.key.empty()) {
        placed.keys.push_back(placed.key);
    }
    placed.key = placed.keys.empty() ? std::string() : placed.keys.front();
}

}  // namespace

std::vector<PageLine> page_lines(const std::string& bytes)
{
    // None where the reader reads none: bytes that are not the text they
    // claim to be.
    DecodedText decoded = decode_definition_bytes(bytes);
    std::vector<PageLine> shown;
    if (!decoded.valid) {
        return shown;
    }
    const SourceLines lines(std::move(decoded.text));
    SourceLines::Cursor cursor(lines);
    SourceLine line{};
    while (cursor.next(line)) {
        shown.push_back({line.number, line.section, shown_text(without_line_end(line.raw))});
    }
    return shown;
}

PageEvaluation evaluate_definition(const std::string& name, const std::string& bytes, const std::string* opened)
{
    PageEvaluation page{};
    Definition definition;
    LightSet lights{};
    const CheckReport report = check_definition_bytes(name, bytes, definition, lights);
    page.readable = report.outcome != LightsOutcome::not_read;
    page.encoding = encoding_words(definition.encoding).label;
    page.would_write = report.would_write;
    page.errors = report.errors;
    page.verdict = check_verdict(report);
    page.verdict.pop_back();
    page.form = form_state(definition);
    page.line_count = definition.lines.count();
    page.light_count = definition.light_count;
    for (const DefinitionSection& section : definition.sections) {
        page.sections_defined.push_back(section.defined);
    }

    for (const CheckRecord& record : report.records) {
        // The page shows where the lights shine and how the file was read in
        // places of their own.
        if (record.message.id == MessageId::lit_area || record.message.id == MessageId::encoding_read) {
            continue;
        }
        PageMessage placed{shown_text(render_message(record.message, name)), shown_text(record.hint),
                           severity_words(message_format(record.message.id).severity).name, record.message.line, -1, "", {},
                           "", 0, "", false};
        if (const std::optional<MessageFix> fix = message_fix(definition, record.message)) {
            placed.fix = fix->words;
            placed.fix_line = fix->line;
            placed.fix_text = fix->text.value_or("");
            placed.fix_removes = !fix->text;
        }
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
    MessageLog earlier_messages;
    const std::optional<GroundView> before =
        opened != nullptr && *opened != bytes ? earlier_lights(earlier_messages, name, *opened) : std::nullopt;
    const Preview preview = draw_preview(diagnostics, definition, lights, report.outcome, before ? &*before : nullptr);
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
        std::string text = figures.state == LitArea::not_computed
                               ? message_body(Message{MessageId::light_not_computed, 0,
                                                      {!definition.sections[n].defined, n}})
                               : lit_area_description(figures);
        page.figures.push_back({n, figures, figures.state == LitArea::lit, text, std::move(cells)});
    }
    return page;
}

}  // namespace lumora
