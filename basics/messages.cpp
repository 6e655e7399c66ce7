#include "basics/messages.h"

#include <array>
#include <cinttypes>
#include <cmath>
#include <cstring>
#include <utility>

#include "basics/formatted.h"
#include "basics/number_text.h"
#include "basics/text.h"

namespace lumora {

namespace {

using M = MessageId;
using S = Severity;
using H = Header;
using T = Topic;

// Every message of the programs, in the order of MessageId.
constexpr std::array<MessageFormat, 105> MESSAGES = {{
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
    {M::light_not_specified, S::error, H::file, "[Light %u] not specified in definition file.\n", T::light},
    {M::invalid_light_count, S::error, H::file, "Invalid number of lights: %u\n"},
    {M::beam_not_computable, S::error, H::file, "[Light %u]: beam geometry cannot be computed from these values.\n", T::light},
    {M::ground_pitch, S::progress, H::none, "Ground Pitch=%5.2f degrees (means pitch %select{up|down}).\n"},
    {M::light_line, S::progress, H::none, "[Light %u]: pitch=%.2f degrees, beam inclination=%.2f degrees\n",
     T::light},
    {M::lit_area, S::progress, H::none, "[Light %u]: %s\n", T::light},
    // Where a light's lit area lies, or why it lights no ground: by the
    // state (in the order of LitArea), then each figure rounded to a tenth,
    // its size and its side; a span lies on one side or across.
    {M::lit_area_words, S::progress, H::none,
     "%1$select{lit area %2$select{%3$.1f to %4$.1f m ahead|%3$.1f to %4$.1f m behind|%3$.1f m behind to %4$.1f m "
     "ahead}%5$select{ of|} the light, %6$select{%7$select{%8$.1f to %9$.1f m right|%8$.1f to %9$.1f m left|%8$.1f m "
     "left to %9$.1f m right} of the aircraft's axis|on the aircraft's axis}; aim point %10$.1f m "
     "%11$select{ahead|behind}%12$select{, %13$.1f m %14$select{right|left}|, on the axis}%15$select{| (%16$.1f m "
     "%17$select{above|below} the ground)}"
     "|no lit area: the light's values give no beam"
     "|no lit area: the light is not above the ground"
     "|no lit area: with the aircraft on its gear the beam does not come down to the ground}"},
    {M::light_not_computed, S::progress, H::none,
     "not computed: %select{its values give no beam|the file has no [Light %u] section}"},
    {M::definition_open_error, S::error, H::none, "Error opening definition file %s: %s\n"},
    {M::definition_read_error, S::error, H::none, "Error reading definition file %s: %s\n"},
    {M::out_of_memory, S::error, H::none, "Out of memory.\n"},
    {M::model_open_error, S::error, H::none, "Error opening file %s: %s\n"},
    {M::model_read_error, S::error, H::none, "Error reading MDL file %s: %s\n"},
    {M::not_a_model, S::error, H::none, "%s is not a MDL file.\n"},
    {M::not_unmodified, S::error, H::none, "%s is not an unmodified MDL file.\n"},
    {M::unexpected_end_of_data, S::error, H::none, "Unexpected end of data: code=0x%04x\n"},
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
    {M::model_written, S::progress, H::none, "MDL file %s with %u landing light%plural{|s} successfully written.\n"},
    {M::preview_written, S::progress, H::none, "Preview of %u landing light%plural{|s} written to %s.\n"},
    {M::preview_incomplete, S::progress, H::none,
     "Preview written to %s; it is incomplete: the definition file has errors.\n"},
    {M::strip_not_a_model, S::error, H::none, "%s is not a MDL file: %s.\n"},
    {M::strip_refused, S::error, H::none, "Cannot take landing lights out of %s: %s.\n"},
    {M::nothing_written, S::progress, H::none, "Nothing written.\n"},
    {M::lights_taken_out, S::progress, H::none,
     "%u landing light%plural{|s} and the trailer block taken out of %s; the restored model is written to %s.\n"},
    {M::layout_too_short, S::progress, H::none,
     "the file is %u byte%plural{|s} long, too short for the \"MZ\" signature"},
    {M::layout_no_mz, S::progress, H::none,
     "the file does not begin with the \"MZ\" signature (its first word is 0x%04X)"},
    {M::layout_no_pe_offset, S::progress, H::none, "the file (%u bytes) ends before the PE header offset at 0x3C"},
    {M::layout_pe_outside, S::progress, H::none, "the PE header offset 0x%X points outside the file (%u bytes)"},
    {M::layout_no_pe_signature, S::progress, H::none,
     "no \"PE\" signature with two zero bytes at the PE header offset 0x%X (found the bytes %02X %02X %02X %02X)"},
    {M::layout_no_resource_address, S::progress, H::none,
     "the file (%u bytes) ends before the resource table address at 0x%X (PE header + 0x88)"},
    {M::layout_no_section_count, S::progress, H::none, "the file (%u bytes) ends before the section count at 0x%X"},
    {M::layout_section_table_outside, S::progress, H::none,
     "the section table of %u entries at 0x%X runs past the file's end (%u bytes)"},
    {M::layout_no_sections, S::progress, H::none,
     "the section table has no entries, so no section holds the resources"},
    {M::layout_no_resource_section, S::progress, H::none,
     "none of the %u sections starts at a non-zero address at or below the resource table address 0x%X"},
    {M::layout_raw_offset, S::progress, H::none,
     "the resource section's raw data lies at file offset 0x%X, not at 0x%X"},
    {M::layout_raw_size, S::progress, H::none, "the resource section's raw data is 0x%X bytes long, not 0x%X"},
    {M::layout_virtual_address, S::progress, H::none,
     "the section examined for the resources starts at the address 0x%X, not at the resource table address 0x%X"},
    {M::layout_virtual_size, S::progress, H::none, "the resource section's virtual size is 0x%X, not 0x%X"},
    {M::layout_code_area_outside, S::progress, H::none,
     "the file (%u bytes) ends before the end of the model-code area (file offset 0x%X + 65536 = %u bytes)"},
    {M::layout_unknown, S::progress, H::none, "an unknown structural test failed"},
    {M::insertion_complete, S::progress, H::none,
     "the %u-light block, the former code (%u bytes) and the trailer block are all in place"},
    {M::insertion_unmodified, S::progress, H::none, "the model code is unprocessed: it carries no landing lights"},
    // Which mark of an unmodified code is gone (the header length or a
    // word: found, required, the word's offset), then the block by its
    // verdict (in the order of BlockVerdict): its number of lights, the
    // first byte that differs, its area offset, the byte found and the
    // block's, the light and its scale.
    {M::insertion_modified, S::progress, H::none,
     "the model code is modified (%1$select{its header length is %2$u, not %3$u|the word at area offset %4$u is "
     "0x%2$04X, not 0x%3$04X}), but %5$select{it begins with the %6$u-light block"
     "|it does not begin with a landing-light block of this program: the closest, the %6$u-light block, differs at "
     "its byte %7$u (area offset %8$u): 0x%9$02X where the block has 0x%10$02X"
     "|it begins with the fixed words of the %6$u-light block, but light %11$u's scale is %12$u, not 7 to 13"
     "|it begins with the fixed words of the %6$u-light block, but the outline points of light %11$u do not all "
     "have the same z"
     "|its block was not examined}"},
    {M::insertion_no_trailer, S::progress, H::none,
     "the trailer block is missing: nothing but zeros follows the end code at area offset %u"},
    {M::insertion_trailer_too_short, S::progress, H::none,
     "the trailer block is missing: the code behind the block is too short to end with an end code, a zero word and "
     "the trailer block"},
    {M::insertion_trailer_past_end, S::progress, H::none,
     "the trailer block is damaged: placed by its last non-zero word, it would begin at area offset %u and run past "
     "the area's end"},
    {M::insertion_trailer_damaged, S::progress, H::none,
     "the trailer block is missing or damaged: placed by its last non-zero word, it would begin at area offset %u, "
     "but its byte %u (area offset %u) is 0x%02X where the trailer has 0x%02X"},
    {M::insertion_no_zero_word, S::progress, H::none,
     "the word in front of the trailer block (area offset %u) is 0x%04X, not zero"},
    {M::insertion_no_end_code, S::progress, H::none,
     "the former code does not end with the end code: the word at area offset %u is 0x%04X, not 0x0022"},
    {M::insertion_not_restorable, S::progress, H::none,
     "taking the block out would not give an unmodified model code: %select{the header length|the word at area "
     "offset %u} would be wrong"},
    {M::insertion_unknown, S::progress, H::none, "the insertion was not examined"},
    {M::encoding_read, S::progress, H::none, "The file was read as %s.\n"},
    // The lights that light no ground, by their count.
    {M::would_write, S::progress, H::none,
     "veska would write a model with this file%select{|, but Light %u lights no ground|, but Light %u and Light %u "
     "light no ground|, but Light %u, Light %u and Light %u light no ground}.\n"},
    {M::would_not_write, S::progress, H::none,
     "veska would not write a model with this file%select{|: it has %u error%plural{|s}}.\n"},
    {M::no_command, S::error, H::none, "veska-inspect: no model or command given\n"},
    {M::strip_arguments, S::error, H::none, "veska-inspect: --strip takes a model and an optional target\n"},
    {M::check_arguments, S::error, H::none, "veska-inspect: --check takes a definition file\n"},
    {M::preview_arguments, S::error, H::none,
     "veska-inspect: --preview takes a definition file and the picture's name\n"},
    {M::unknown_option, S::error, H::none, "veska-inspect: unknown option: %s\n"},
    {M::report_arguments, S::error, H::none, "veska-inspect: a report takes one model\n"},
    {M::text_not_model, S::progress, H::none, "%s is text, not a model: it is checked as a definition file.\n"},
    {M::names_not_different, S::error, H::none, "The model and the definition file need two different names.\n"},
    {M::dropped_folder, S::progress, H::none, "In the folder %s:\n"},
    {M::dropped_model_alone, S::progress, H::none,
     "%s is a model and no definition file came with it, so nothing was done to it. Drop the model together with "
     "its definition file onto veska, or open the tuning page lumora-tuning.html beside this program to write "
     "one.\n"},
    {M::dropped_definition_alone, S::progress, H::none,
     "To give a model these lights, drop the model together with this definition file onto veska.\n"},
    {M::press_enter_to_close, S::progress, H::none, "\nPress Enter to close this window."},
    {M::note_max_range_not_positive, S::note, H::file_and_line_if_known, "[Light %u]: MaxRange is %g m, not above zero.\n", T::light},
    {M::note_spot_width_not_positive, S::note, H::file_and_line_if_known,
     "[Light %u]: SpotWidth is %g m, not above zero.\n", T::light},
    {M::note_spot_depth_not_positive, S::note, H::file_and_line_if_known,
     "[Light %u]: SpotDepth is %g m, not above zero.\n", T::light},
    {M::note_direction_backwards, S::note, H::file_and_line_if_known,
     "[Light %u]: Direction is %g degrees: the beam points backwards.\n", T::light},
    {M::note_light_not_above_ground, S::note, H::file_and_line_if_known, "[Light %u]: the light is %select{on the ground line|%.2f m below the ground line}.\n", T::light},
    {M::note_beam_lights_no_ground, S::note, H::file_and_line_if_known,
     "[Light %u]: with the aircraft on its gear the beam points level or up and lights no ground.\n", T::light},
    {M::note_lit_area_behind_light, S::note, H::file_and_line_if_known,
     "[Light %u]: the lit area reaches %.2f m back past the light (SpotDepth %g m, the aim point %g m ahead).\n", T::light},
    {M::note_line_ignored, S::note, H::file_and_line_if_known, "this line begins with a blank, so veska ignores it.\n"},
    {M::note_key_hidden_by_return, S::note, H::file_and_line_if_known,
     "a carriage return hides %s from veska, which reads this line only up to it.\n"},
    {M::note_key_hidden_by_zero, S::note, H::file_and_line_if_known,
     "a zero byte hides %s from veska, which reads this line only up to it.\n"},
    {M::note_gears_mixed, S::note, H::file_and_line_if_known, "%s (line %u) and %s are taken as one gear.\n"},
    {M::note_pitch_steep, S::note, H::file_and_line_if_known,
     "[Light %u]: Pitch is %g degrees, more than 45 degrees from level.\n", T::light},
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

// The words of each severity, in the order of Severity.
constexpr std::array<SeverityWords, 5> SEVERITIES = {{
    {"", "progress"},
    {"Info", "info"},
    {"Warning", "warning"},
    {"Error", "error"},
    {"Note", "note"},
}};
static_assert(static_cast<std::size_t>(Severity::note) + 1 == SEVERITIES.size(), "every severity needs its words");

// Where the alternative that begins at from ends: at the first bar outside
// nested braces, or at the brace that closes the alternatives (or the
// format's end).
const char* alternative_end(const char* from, const char* end)
{
    int depth = 0;
    for (const char* p = from; p < end; ++p) {
        if (*p == '{') {
            ++depth;
        } else if ((*p == '}' && depth-- == 0) || (*p == '|' && depth == 0)) {
            return p;
        }
    }
    return end;
}

// The words of the two choosing conversions.
constexpr std::string_view SELECT = "select{";
constexpr std::string_view PLURAL = "plural{";

// The number written at p, and p moved behind it.
int read_count(const char*& p, const char* end)
{
    int count = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        count = count * 10 + (*p - '0');
    }
    return count;
}


// Appends the format in [format, end) expanded with the subjects (format
// comment in messages.h); next is the subject the next conversion without a
// position takes, and stands behind the subject taken last. A conversion
// without its subject expands to nothing.
void expand(std::string& text, const char* format, const char* end, const std::vector<Subject>& subjects,
            std::size_t& next)
{
    const char* p = format;
    while (p < end) {
        // The text up to the next per-cent sign goes over in one piece.
        const char* percent = static_cast<const char*>(std::memchr(p, '%', static_cast<std::size_t>(end - p)));
        if (percent == nullptr) {
            text.append(p, static_cast<std::size_t>(end - p));
            return;
        }
        text.append(p, static_cast<std::size_t>(percent - p));
        p = percent + 1;
        if (p < end && *p == '%') {
            text += '%';
            ++p;
            continue;
        }
        // [position$]: the subject by its number, from 1.
        const char* q = p;
        const int position = read_count(q, end);
        if (q < end && *q == '$' && position > 0) {
            next = static_cast<std::size_t>(position - 1);
            p = q + 1;
        }
        const std::string_view rest(p, static_cast<std::size_t>(end - p));
        const bool select = starts_with(rest, SELECT);
        if (select || starts_with(rest, PLURAL)) {
            // %plural looks back at the number taken last; without its
            // subject, no alternative is chosen.
            const bool known = select ? next < subjects.size() : next > 0 && next <= subjects.size();
            std::uint64_t choice = !known ? UINT64_MAX
                                   : select ? subjects[next++].number
                                            : subjects[next - 1].number == 1 ? 0 : 1;
            // Each alternative in turn up to the closing brace; the chosen one is expanded.
            for (p += SELECT.size();;) {
                const char* stop = alternative_end(p, end);
                if (choice-- == 0) {
                    expand(text, p, stop, subjects, next);
                }
                p = stop < end ? stop + 1 : end;
                if (stop == end || *stop == '}') {
                    break;
                }
            }
            continue;
        }
        // [0][width][.precision] and the conversion's letter.
        q = p;
        const char pad = q < end && *q == '0' ? '0' : ' ';
        const int width = read_count(q, end);
        int precision = 6;
        if (q < end && *q == '.') {
            precision = read_count(++q, end);
        }
        const char conversion = q < end ? *q : '\0';
        if (conversion == '\0' || std::strchr("suxXfg", conversion) == nullptr) {
            text += '%';
            continue;
        }
        p = q + 1;
        if (next >= subjects.size()) {
            continue;
        }
        const Subject& subject = subjects[next++];
        if (conversion == 'x' && subject.kind == Subject::Kind::number) {
            append_format(text, pad == '0' ? "%0*" PRIx64 : "%*" PRIx64, width, subject.number);
        } else if (conversion == 'X' && subject.kind == Subject::Kind::number) {
            append_format(text, pad == '0' ? "%0*" PRIX64 : "%*" PRIX64, width, subject.number);
        } else if (conversion == 'g' && subject.kind == Subject::Kind::real && std::isfinite(subject.real)) {
            append_format(text, "%*.*g", width, precision, subject.real);
        } else if ((conversion == 'f' || conversion == 'g') && subject.kind == Subject::Kind::real) {
            // %g of a number that is not finite: the word fixed_text gives,
            // the same everywhere.
            text += fixed_text(subject.real, width, precision);
        } else if (subject.kind == Subject::Kind::number) {  // a subject its conversion does not take: as it is
            text += std::to_string(subject.number);
        } else if (subject.kind == Subject::Kind::real) {
            append_format(text, "%g", subject.real);
        } else {
            text += subject.text;
        }
    }
}

void expand(std::string& text, const char* format, const std::vector<Subject>& subjects)
{
    std::size_t next = 0;
    expand(text, format, format + std::strlen(format), subjects, next);
}

}  // namespace

const MessageFormat& message_format(MessageId id) { return MESSAGES[static_cast<std::size_t>(id)]; }

const SeverityWords& severity_words(Severity severity) { return SEVERITIES[static_cast<std::size_t>(severity)]; }

std::string render_message(const Message& message, const std::string& definition_name)
{
    const MessageFormat& format = message_format(message.id);
    std::string text;
    text.reserve(160);  // a whole line of most messages, grown once at most
    const bool with_line = format.header == Header::file_and_line ||
                           (format.header == Header::file_and_line_if_known && message.line != 0);
    if (format.header != Header::none) {
        text += severity_words(format.severity).header;
        text += " in ";
        text += definition_name;
        if (with_line) {
            text += ", line ";
            text += std::to_string(message.line);
        }
        text += ": ";
    }
    expand(text, format.format, message.subjects);
    return text;
}

std::string message_body(const Message& message)
{
    std::string body;
    expand(body, message_format(message.id).format, message.subjects);
    if (!body.empty() && body.back() == '\n') {
        body.pop_back();
    }
    return body;
}

void MessagePrinter::take(const Message& message, const std::string& definition_name)
{
    const std::string text = render_message(message, definition_name);
    line_open_ = text.empty() || text.back() != '\n';
    console_write(console_, text);
}

void report(Diagnostics& diagnostics, MessageId id, std::vector<Subject> subjects, std::uint32_t line)
{
    if (message_format(id).severity == Severity::error) {
        diagnostics.error_flag = true;
    }
    diagnostics.sink.take(Message{id, line, std::move(subjects)}, diagnostics.definition_name);
}

}  // namespace lumora
