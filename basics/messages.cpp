#include "basics/messages.h"

#include <array>
#include <cstring>

namespace lumora {

namespace {

using M = MessageId;
using S = Severity;
using H = Header;

// Every message of the programs, in the order of MessageId.
constexpr std::array<MessageFormat, 65> MESSAGES = {{
    {M::unrecognised_line, S::error, H::file_and_line, "Unrecognised: %s"},
    {M::main_section_first, S::error, H::file_and_line, "[Main] section must be specified first.\n"},
    {M::section_not_expected, S::warning, H::file_and_line,
     "This section is not expected as \"Lights=%u\" only was specified.\n"},
    {M::unrecognised_section, S::error, H::file_and_line, "Unrecognised section: %s\n"},
    {M::section_defined_already, S::error, H::file_and_line, "Section %s defined already.\n"},
    {M::no_value, S::error, H::file_and_line, "Name=%s, NO VALUE given.\n"},
    {M::duplicate_definition, S::error, H::file_and_line, "Duplicate definition: Name=%s\n"},
    {M::unrecognised_name, S::error, H::file_and_line, "Unrecognised name=%s\n"},
    {M::invalid_light_count_in_line, S::error, H::file, "Invalid number of lights in line %u, must be 1,2 or 3.\n"},
    {M::lights_not_given, S::error, H::file, "Required parameter \"Lights=n\" was not specified.\n"},
    {M::no_unit_expected, S::warning, H::file, "No unit of measurement expected in line %u.\n"},
    {M::invalid_unit, S::error, H::file, "Invalid unit of measurement specification '%s' in line %u.\n"},
    {M::gear_incomplete, S::info, H::file, "Not all gear positions/heights specified, zero ground pitch assumed.\n"},
    {M::gear_distance_too_small, S::warning, H::file, "Gear distance too small, zero ground pitch assumed.\n"},
    {M::light_not_specified, S::error, H::file, "[Light %u] not specified in definition file.\n"},
    {M::invalid_light_count, S::error, H::file, "Invalid number of lights: %u\n"},
    {M::beam_not_computable, S::error, H::file, "[Light %u]: beam geometry cannot be computed from these values.\n"},
    {M::ground_pitch, S::progress, H::none, "Ground Pitch=%s degrees (means pitch %s).\n"},
    {M::light_line, S::progress, H::none, "[Light %u]: pitch=%s degrees, beam inclination=%s degrees\n"},
    {M::lit_area, S::progress, H::none, "[Light %u]: %s\n"},
    {M::definition_open_error, S::error, H::none, "Error opening definition file %s: %s\n"},
    {M::definition_read_error, S::error, H::none, "Error reading definition file %s: %s\n"},
    {M::out_of_memory, S::error, H::none, "Out of memory.\n"},
    {M::model_open_error, S::error, H::none, "Error opening file %s: %s\n"},
    {M::model_read_error, S::error, H::none, "Error reading MDL file %s: %s\n"},
    {M::not_a_model, S::error, H::none, "%s is not a MDL file.\n"},
    {M::not_unmodified, S::error, H::none, "%s is not an unmodified MDL file.\n"},
    {M::unexpected_end_of_data, S::error, H::none, "Unexpected end of data: code=0x%s\n"},
    {M::not_enough_space, S::error, H::none,
     "Not enough space in MDL file for landing lights, space needed=%u, space available=%u.\n"},
    {M::backup_open_error, S::error, H::none, "Error opening backup file %s: %s\n"},
    {M::backup_write_error, S::error, H::none, "Error writing backup file %s: %s\n"},
    {M::backup_close_error, S::error, H::none, "Error closing backup file %s: %s\n"},
    {M::backup_created, S::progress, H::none, "Backup MDL file %s created.\n"},
    {M::target_open_error, S::error, H::none, "Error opening target MDL file %s: %s\n"},
    {M::target_write_error, S::error, H::none, "Error writing target MDL file %s: %s\n"},
    {M::target_close_error, S::error, H::none, "Error closing target MDL file %s: %s\n"},
    {M::preview_open_error, S::error, H::none, "Error opening preview file %s: %s\n"},
    {M::preview_write_error, S::error, H::none, "Error writing preview file %s: %s\n"},
    {M::access_list_not_kept, S::note, H::none,
     "Note: %s could not keep its access control list; only its owner may now read it.\n"},
    {M::file_in_use, S::progress, H::none,
     "The file is open in another program (perhaps the simulator): close it there, then run veska again.\n"},
    {M::no_backup_no_processing, S::error, H::none, "No further processing due to non-available MDL backup file.\n"},
    {M::not_written_due_to_errors, S::progress, H::none, "MDL file %s not written due to errors.\n"},
    {M::model_written, S::progress, H::none, "MDL file %s with %u landing light%s successfully written.\n"},
    {M::preview_written, S::progress, H::none, "Preview of %u landing light%s written to %s.\n"},
    {M::preview_incomplete, S::progress, H::none,
     "Preview written to %s; it is incomplete: the definition file has errors.\n"},
    {M::strip_not_a_model, S::error, H::none, "%s is not a MDL file: %s.\n"},
    {M::strip_refused, S::error, H::none, "Cannot take landing lights out of %s: %s.\n"},
    {M::nothing_written, S::progress, H::none, "Nothing written.\n"},
    {M::lights_taken_out, S::progress, H::none,
     "%u landing light%s and the trailer block taken out of %s; the restored model is written to %s.\n"},
    {M::encoding_read, S::progress, H::none, "The file was read as %s.\n"},
    {M::dropped_folder, S::progress, H::none, "In the folder %s:\n"},
    {M::dropped_model_alone, S::progress, H::none,
     "%s is a model and no definition file came with it, so nothing was done to it. Drop the model together with "
     "its definition file onto veska, or open the tuning page lumora-tuning.html beside this program to write "
     "one.\n"},
    {M::dropped_definition_alone, S::progress, H::none,
     "To give a model these lights, drop the model together with this definition file onto veska.\n"},
    {M::note_max_range_not_positive, S::note, H::file_and_line_if_known, "[Light %u]: MaxRange is %s m, not above zero.\n"},
    {M::note_spot_width_not_positive, S::note, H::file_and_line_if_known,
     "[Light %u]: SpotWidth is %s m, not above zero.\n"},
    {M::note_spot_depth_not_positive, S::note, H::file_and_line_if_known,
     "[Light %u]: SpotDepth is %s m, not above zero.\n"},
    {M::note_direction_backwards, S::note, H::file_and_line_if_known,
     "[Light %u]: Direction is %s degrees: the beam points backwards.\n"},
    {M::note_light_not_above_ground, S::note, H::file_and_line_if_known, "[Light %u]: the light is %s.\n"},
    {M::note_beam_lights_no_ground, S::note, H::file_and_line_if_known,
     "[Light %u]: with the aircraft on its gear the beam points level or up and lights no ground.\n"},
    {M::note_lit_area_behind_light, S::note, H::file_and_line_if_known,
     "[Light %u]: the lit area reaches %s m back past the light (SpotDepth %s m, the aim point %s m ahead).\n"},
    {M::note_line_ignored, S::note, H::file_and_line_if_known, "this line begins with a blank, so veska ignores it.\n"},
    {M::note_key_hidden_by_return, S::note, H::file_and_line_if_known,
     "a carriage return hides %s from veska, which reads this line only up to it.\n"},
    {M::note_key_hidden_by_zero, S::note, H::file_and_line_if_known,
     "a zero byte hides %s from veska, which reads this line only up to it.\n"},
    {M::note_gears_mixed, S::note, H::file_and_line_if_known, "%s (line %u) and %s are taken as one gear.\n"},
    {M::note_pitch_steep, S::note, H::file_and_line_if_known,
     "[Light %u]: Pitch is %s degrees, more than 45 degrees from level.\n"},
}};

constexpr bool in_order()
{
    for (std::size_t i = 0; i < MESSAGES.size(); ++i) {
        if (static_cast<std::size_t>(MESSAGES[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(in_order(), "the message table must list every message in the order of MessageId");
static_assert(static_cast<std::size_t>(MessageId::note_pitch_steep) + 1 == MESSAGES.size(),
              "every message needs its entry in the table");

const char* severity_word(Severity severity)
{
    switch (severity) {
    case Severity::info:
        return "Info";
    case Severity::warning:
        return "Warning";
    case Severity::error:
        return "Error";
    case Severity::note:
        return "Note";
    case Severity::progress:
        break;
    }
    return "";
}

// The format expanded with the subjects, in order: %s takes a subject's
// text, %u its number, %% is a per-cent sign.
std::string expand(const char* format, const std::vector<Subject>& subjects)
{
    std::string text;
    std::size_t next = 0;
    for (const char* p = format; *p != '\0';) {
        // The text up to the next per-cent sign goes over in one piece.
        const char* percent = std::strchr(p, '%');
        if (percent == nullptr) {
            text += p;
            break;
        }
        text.append(p, static_cast<std::size_t>(percent - p));
        p = percent + 1;
        if (*p != 's' && *p != 'u' && *p != '%') {
            text += '%';
            continue;
        }
        if (*p == '%') {
            text += '%';
        } else if (next < subjects.size()) {
            const Subject& subject = subjects[next++];
            text += subject.is_number ? std::to_string(subject.number) : subject.text;
        }
        ++p;
    }
    return text;
}

}  // namespace

const MessageFormat& message_format(MessageId id) { return MESSAGES[static_cast<std::size_t>(id)]; }

std::string render_message(const Message& message, const std::string& definition_name)
{
    const MessageFormat& format = message_format(message.id);
    std::string text;
    const bool with_line = format.header == Header::file_and_line ||
                           (format.header == Header::file_and_line_if_known && message.line != 0);
    if (format.header != Header::none) {
        text = std::string(severity_word(format.severity)) + " in " + definition_name;
        if (with_line) {
            text += ", line " + std::to_string(message.line);
        }
        text += ": ";
    }
    return text + expand(format.format, message.subjects);
}

std::string message_body(const Message& message)
{
    std::string body = expand(message_format(message.id).format, message.subjects);
    if (!body.empty() && body.back() == '\n') {
        body.pop_back();
    }
    return body;
}

void MessagePrinter::take(const Message& message, const std::string& definition_name)
{
    console_write(console_, render_message(message, definition_name));
}

void report(Diagnostics& diagnostics, MessageId id, std::vector<Subject> subjects, std::uint32_t line)
{
    if (message_format(id).severity == Severity::error) {
        diagnostics.error_flag = true;
    }
    diagnostics.sink.take(Message{id, line, std::move(subjects)}, diagnostics.definition_name);
}

}  // namespace lumora
