// What the programs say, as records. Every message comes from one table
// that gives its identity, its severity, the header it is printed under,
// what it is about and its format; a message itself is its identity, the
// definition-file line it concerns and the subjects (texts, numbers and
// choices) that fill its format. The text on the console is rendered from the record through
// the format, so a program that looks at messages (the check, the preview's
// notes, the tuning page) looks at their identities, never at their text.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "basics/console.h"

namespace lumora {

enum class MessageId : std::uint8_t {
    // Reading the definition file, while its lines are read.
    unrecognised_line,
    main_section_first,
    section_not_expected,
    unrecognised_section,
    section_defined_already,
    no_value,
    duplicate_definition,
    unrecognised_name,
    // The definition file's values, once read.
    invalid_light_count_in_line,
    lights_not_given,
    no_unit_expected,
    invalid_unit,
    gear_incomplete,
    gear_distance_too_small,
    light_not_specified,
    invalid_light_count,
    beam_not_computable,
    // Progress of the computation.
    ground_pitch,
    light_line,
    lit_area,
    lit_area_words,
    light_not_computed,
    // The definition file as a file.
    definition_open_error,
    definition_read_error,
    out_of_memory,
    // The model.
    model_open_error,
    model_read_error,
    not_a_model,
    not_unmodified,
    unexpected_end_of_data,
    not_enough_space,
    // The files written.
    backup_open_error,
    backup_write_error,
    backup_close_error,
    backup_created,
    target_open_error,
    target_write_error,
    target_close_error,
    preview_open_error,
    preview_write_error,
    access_list_not_kept,
    // A file another program holds.
    file_in_use,
    // The end of a run.
    no_backup_no_processing,
    not_written_due_to_errors,
    model_written,
    preview_written,
    preview_incomplete,
    // Taking the lights out again.
    strip_not_a_model,
    strip_refused,
    nothing_written,
    lights_taken_out,
    // What a model's layout fails, as the report and --strip say it.
    layout_too_short,
    layout_no_mz,
    layout_no_pe_offset,
    layout_pe_outside,
    layout_no_pe_signature,
    layout_no_resource_address,
    layout_no_section_count,
    layout_section_table_outside,
    layout_no_sections,
    layout_no_resource_section,
    layout_raw_offset,
    layout_raw_size,
    layout_virtual_address,
    layout_virtual_size,
    layout_code_area_outside,
    layout_unknown,
    // What became of a model's code, as the report and --strip say it.
    insertion_complete,
    insertion_unmodified,
    insertion_modified,
    insertion_no_trailer,
    insertion_trailer_too_short,
    insertion_trailer_past_end,
    insertion_trailer_damaged,
    insertion_no_zero_word,
    insertion_no_end_code,
    insertion_not_restorable,
    insertion_unknown,
    // What --check says of the file as a whole.
    encoding_read,
    would_write,
    would_not_write,
    // veska-inspect's command line.
    no_command,
    strip_arguments,
    check_arguments,
    preview_arguments,
    unknown_option,
    report_arguments,
    text_not_model,
    // The tuning page's model.
    names_not_different,
    // What veska says in a window of its own about the files dropped onto it.
    dropped_folder,
    dropped_model_alone,
    dropped_definition_alone,
    press_enter_to_close,
    // Notes on what veska accepts but is hardly meant.
    note_max_range_not_positive,
    note_spot_width_not_positive,
    note_spot_depth_not_positive,
    note_direction_backwards,
    note_light_not_above_ground,
    note_beam_lights_no_ground,
    note_lit_area_behind_light,
    note_line_ignored,
    note_key_hidden_by_return,
    note_key_hidden_by_zero,
    note_gears_mixed,
    note_pitch_steep,
};

enum class Severity : std::uint8_t { progress, info, warning, error, note };

// How a severity is worded: in the header users read ("Error in ..."; none
// for progress) and as the name the tuning page files a message under (a
// style class and the key its script tells them by).
struct SeverityWords {
    const char* header;
    const char* name;
};
const SeverityWords& severity_words(Severity severity);

// The header a message is printed under.
enum class Header : std::uint8_t {
    none,                    // the text alone
    file,                    // "<Severity> in <definition file>: "
    file_and_line,           // "<Severity> in <definition file>, line <n>: ", n being the line read
    file_and_line_if_known,  // as file_and_line when the message names a line, else as file
};

// What a message is about, besides its line.
enum class Topic : std::uint8_t {
    none,
    light,  // a light: its first subject is the light's number
};

// A format is text with conversions, each taking the next subject:
//   %s             a text
//   %u             a number, in decimal
//   %04x %X        a number in hexadecimal, lower or upper case, with the
//                  optional width and zero padding
//   %5.2f %.2f     a real number with the optional width and the precision,
//                  by fixed_text (number_text.h)
//   %g             a real number as printf's %g prints it (one that is not
//                  finite as fixed_text words it)
//   %select{a|b}   the alternative a number or a choice picks (0 the first,
//                  false, the enum's first value); the alternative is a
//                  format itself and takes the subjects that follow
//   %plural{a|b}   a when the number taken last is 1, else b; takes none
//   %%             a per-cent sign
// A conversion takes the subject after the one taken last, or the subject
// its position names: %3$.1f, %2$select{...} (counted from 1), so that
// alternatives may share subjects and the caller passes the same list
// whichever is chosen.
struct MessageFormat {
    MessageId id;
    Severity severity;
    Header header;
    const char* format;
    Topic topic = Topic::none;
};

// One subject of a message: a text, a number or a choice (a bool or an enum,
// for %u, %x or %select), or a real number (for %f or %g).
struct Subject {
    enum class Kind : std::uint8_t { text, number, real };
    Subject(std::string text) : text(std::move(text)) {}
    Subject(const char* text) : text(text) {}
    Subject(std::uint32_t number) : number(number), kind(Kind::number) {}
    Subject(std::uint64_t number) : number(number), kind(Kind::number) {}
    Subject(bool choice) : number(choice ? 1 : 0), kind(Kind::number) {}
    template <typename Choice, typename = std::enable_if_t<std::is_enum_v<Choice>>>
    Subject(Choice choice) : number(static_cast<std::uint32_t>(choice)), kind(Kind::number)
    {
    }
    Subject(double real) : real(real), kind(Kind::real) {}
    std::string text;
    std::uint64_t number = 0;
    double real = 0.0;
    Kind kind = Kind::text;
};

struct Message {
    MessageId id;
    std::uint32_t line;  // the definition file's line it concerns, 0 for none
    std::vector<Subject> subjects;
};

// The table's entry for id.
const MessageFormat& message_format(MessageId id);

// The whole text as the programs print it: header and message.
std::string render_message(const Message& message, const std::string& definition_name);

// The message's own text, without its header and its final line end.
std::string message_body(const Message& message);

// Where a run's messages go. A program prints them; a test or the tuning
// page keeps them; the check prints each with what to change.
class MessageSink {
public:
    virtual void take(const Message& message, const std::string& definition_name) = 0;

protected:
    ~MessageSink() = default;
};

// Prints every message to a console.
class MessagePrinter final : public MessageSink {
public:
    explicit MessagePrinter(Console console) : console_(console) {}
    void take(const Message& message, const std::string& definition_name) override;
    // True when the last message printed did not end with a line end.
    bool line_open() const { return line_open_; }

private:
    Console console_;
    bool line_open_ = false;
};

// Keeps every message.
class MessageLog final : public MessageSink {
public:
    void take(const Message& message, const std::string&) override { messages_.push_back(message); }
    const std::vector<Message>& messages() const { return messages_; }

private:
    std::vector<Message> messages_;
};

// Hands every message to two sinks, first to first: a caller that shows the
// messages and looks at them too gives a printer and a log.
class MessageFanOut final : public MessageSink {
public:
    MessageFanOut(MessageSink& first, MessageSink& second) : first_(first), second_(second) {}
    void take(const Message& message, const std::string& definition_name) override
    {
        first_.take(message, definition_name);
        second_.take(message, definition_name);
    }

private:
    MessageSink& first_;
    MessageSink& second_;
};

// What the messages of one run need besides themselves.
struct Diagnostics {
    explicit Diagnostics(MessageSink& sink, std::string definition_name = std::string())
        : sink(sink), definition_name(std::move(definition_name))
    {
    }

    MessageSink& sink;
    std::string definition_name;  // printed in every header; empty when the run names none
    bool error_flag = false;  // set by every error; never cleared
};

// What a step gives back that reports its own failure: done, or stopped
// after its message went to the run's sink (and nothing more is to be said).
enum class [[nodiscard]] Step : std::uint8_t { done, reported };

// Hands the message, about the definition file's line given (0 for none),
// to the run's sink. An error sets the error flag.
void report(Diagnostics& diagnostics, MessageId id, std::vector<Subject> subjects = {}, std::uint32_t line = 0);

}  // namespace lumora
