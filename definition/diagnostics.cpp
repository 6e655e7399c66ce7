#include "definition/diagnostics.h"

#include "driver/run_state.h"

namespace {

// Picks the header word for the message's severity letter, raises the error
// flag where the severity calls for it, and returns the text to format.
const char* classify(const char* message, const char** word)
{
    switch (message[0]) {
    case 'w':
        *word = "Warning";
        return message + 1;
    case 'e':
        *word = "Error";
        run_state.error_flag = 1;
        return message + 1;
    case 'i':
        *word = "Info";
        return message + 1;
    default:
        *word = "Fatal error";
        run_state.error_flag = 1;
        return message;
    }
}

const char* definition_name()
{
    return run_state.definition_name != nullptr ? run_state.definition_name : "";
}

}  // namespace

void report(const char* message, ...)
{
    const char* word = nullptr;
    const char* text = classify(message, &word);
    console_print("%s in %s: ", word, definition_name());
    std::va_list args;
    va_start(args, message);
    console_vprint(text, args);
    va_end(args);
}

void report_at_line(const char* message, ...)
{
    const char* word = nullptr;
    const char* text = classify(message, &word);
    console_print("%s in %s, line %u: ", word, definition_name(), run_state.line_counter);
    std::va_list args;
    va_start(args, message);
    console_vprint(text, args);
    va_end(args);
}
