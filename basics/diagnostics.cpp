#include "basics/diagnostics.h"

namespace lumora {

namespace {

// Picks the header word for the message's severity letter, raises the error
// flag where the severity calls for it, and returns the text to format.
const char* classify(Diagnostics& diagnostics, const char* message, const char** word)
{
    switch (message[0]) {
    case 'w':
        *word = "Warning";
        return message + 1;
    case 'e':
        *word = "Error";
        diagnostics.error_flag = 1;
        return message + 1;
    case 'i':
        *word = "Info";
        return message + 1;
    default:
        *word = "Fatal error";
        diagnostics.error_flag = 1;
        return message;
    }
}

const char* definition_name(const Diagnostics& diagnostics)
{
    return diagnostics.definition_name != nullptr ? diagnostics.definition_name : "";
}

}  // namespace

void report(Diagnostics& diagnostics, const char* message, ...)
{
    const char* word = nullptr;
    const char* text = classify(diagnostics, message, &word);
    console_print(diagnostics.console, "%s in %s: ", word, definition_name(diagnostics));
    std::va_list args;
    va_start(args, message);
    console_vprint(diagnostics.console, text, args);
    va_end(args);
}

void report_at_line(Diagnostics& diagnostics, const char* message, ...)
{
    const char* word = nullptr;
    const char* text = classify(diagnostics, message, &word);
    console_print(diagnostics.console, "%s in %s, line %u: ", word, definition_name(diagnostics),
                  diagnostics.line_counter);
    std::va_list args;
    va_start(args, message);
    console_vprint(diagnostics.console, text, args);
    va_end(args);
}

}  // namespace lumora
