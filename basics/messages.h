// What the programs say, as records. Every message comes from one table
// that gives its identity, its severity, the header it is printed under and
// its printf-style format (with %s and %u only); a message itself is its
// identity, the definition-file line it concerns and the subjects that fill
// its format. The text on the console is rendered from the record through
// the format, so a program that looks at messages (the check, the preview's
// notes, the tuning page) looks at their identities, never at their text.
#pragma once

#include <cstdint>
#include <string>
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
    // What --check says of the file as a whole.
    encoding_read,
    // What veska says in a window of its own about the files dropped onto it.
    dropped_folder,
    dropped_model_alone,
    dropped_definition_alone,
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

// The header a message is printed under.
enum class Header : std::uint8_t {
    none,                    // the text alone
    file,                    // "<Severity> in <definition file>: "
    file_and_line,           // "<Severity> in <definition file>, line <n>: ", n being the line read
    file_and_line_if_known,  // as file_and_line when the message names a line, else as file
};

struct MessageFormat {
    MessageId id;
    Severity severity;
    Header header;
    const char* format;  // %s takes a text subject, %u a number
};

// One subject of a message: a text for %s or a number for %u.
struct Subject {
    Subject(std::string text) : text(std::move(text)) {}
    Subject(const char* text) : text(text) {}
    Subject(std::uint32_t number) : number(number), is_number(true) {}
    std::string text;
    std::uint32_t number = 0;
    bool is_number = false;
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

private:
    Console console_;
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
