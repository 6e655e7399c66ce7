#include "preview/preview.h"

#include "lights/value_notes.h"
#include "output/output.h"
#include "preview/preview_svg.h"

namespace lumora {

namespace {

// The messages of the three steps of writing the picture.
constexpr OutputMessages PREVIEW_MESSAGES = {
    MessageId::preview_open_error,
    MessageId::preview_write_error,
    MessageId::preview_write_error,
};

// The number of lights the picture shows. The lights veska would not
// compute (it stops at the first failing step) are still computed for the
// picture where their sections were read, without a word: veska says
// nothing of them either.
unsigned lights_shown(const Definition& definition, LightSet& lights, LightsOutcome outcome)
{
    const std::uint32_t count = definition.light_count;
    const bool count_valid = count >= 1 && count <= LIGHT_COUNT_MAX;
    unsigned shown = count_valid ? count : LIGHT_COUNT_MAX;
    if (outcome != LightsOutcome::computed) {
        MessageLog unheard;
        Diagnostics silent{unheard};
        for (unsigned n = 1; n <= shown; ++n) {
            if (definition.sections[n].defined && !lights.values[n - 1].computed) {
                compute_light(silent, definition.ground, definition.sections[n], n - 1, lights);
            }
        }
    }
    if (!count_valid) {
        // Show the sections that were read, up to the last one.
        while (shown > 0 && !definition.sections[shown].defined) {
            --shown;
        }
    }
    return shown;
}

// Where the lights that the picture shows shine.
GroundView view_shown(const Definition& definition, LightSet& lights, LightsOutcome outcome)
{
    return compute_ground_view(definition.ground, lights, lights_shown(definition, lights, outcome));
}

}  // namespace

std::optional<GroundView> earlier_lights(MessageLog& log, const std::string& name, std::string bytes)
{
    Diagnostics quiet{log, name};
    Definition definition;
    LightSet lights{};
    const LightsOutcome outcome = compute_lights_from_bytes(quiet, definition, lights, std::move(bytes));
    if (outcome == LightsOutcome::not_read) {
        return std::nullopt;
    }
    return view_shown(definition, lights, outcome);
}

Preview draw_preview(const Diagnostics& diagnostics, const Definition& definition, LightSet& lights,
                     LightsOutcome outcome, const GroundView* before)
{
    Preview preview;
    preview.complete = outcome == LightsOutcome::computed && !diagnostics.error_flag;
    const GroundView view = view_shown(definition, lights, outcome);
    preview.lights = view.light_count;
    PreviewCaption caption = {diagnostics.definition_name.c_str(), preview.complete, {}, before};
    for (const Message& note : note_values(definition, lights, preview.lights)) {
        caption.notes.push_back(message_body(note));
    }
    preview.svg = preview_svg(view, caption);
    return preview;
}

int run_preview(const Console& console, FileSystem& files, const std::string& definition_name,
                const std::string& svg_name, const std::optional<std::string>& before_name)
{
    MessagePrinter printer{console};
    std::optional<GroundView> before;
    if (before_name) {
        // The earlier file is read quietly; only why it cannot be read is
        // said.
        MessageLog log;
        Diagnostics reading{log, *before_name};
        Definition earlier;
        LightSet earlier_lights_set{};
        const LightsOutcome read = read_and_compute_lights(reading, files, earlier, earlier_lights_set, *before_name);
        if (read == LightsOutcome::not_read) {
            for (const Message& message : log.messages()) {
                printer.take(message, *before_name);
            }
            return 1;
        }
        before = view_shown(earlier, earlier_lights_set, read);
    }
    Diagnostics diagnostics{printer, definition_name};
    Definition definition;
    LightSet lights{};
    // The same steps as veska's, with the same messages.
    const LightsOutcome outcome = read_and_compute_lights(diagnostics, files, definition, lights, definition_name);
    if (outcome == LightsOutcome::not_read) {
        return 1;
    }
    const Preview preview = draw_preview(diagnostics, definition, lights, outcome, before ? &*before : nullptr);
    // The picture may not replace the definition file.
    const OutputContext output{diagnostics, definition_name.c_str(), files};
    if (write_replacing(output, PREVIEW_MESSAGES, svg_name.c_str(),
                        reinterpret_cast<const std::uint8_t*>(preview.svg.data()), preview.svg.size()) != 0) {
        return 1;
    }
    if (preview.complete) {
        report(diagnostics, MessageId::preview_written, {preview.lights, svg_name});
        return 0;
    }
    report(diagnostics, MessageId::preview_incomplete, {svg_name});
    return 1;
}

}  // namespace lumora
