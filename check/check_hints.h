// What to change for each of veska's messages about a definition file: one
// short line worked out from the message's text, the lines of the file it
// points at, and what the reader stored.
#pragma once

#include <string>
#include <vector>

#include "definition/definition.h"
#include "check/check_text.h"

namespace lumora {

struct CheckContext {
    const char* definition_name;
    const DefinitionText& text;
    const Definition& definition;  // as read_definition_named left it
};

// The parts of one message as veska printed it.
struct MessageParts {
    std::string severity;  // "Error", "Warning", "Info", "Fatal error", or empty for other lines
    std::uint32_t line;    // the line named in its header, 0 for none
    std::string body;      // the text behind the header (all of it for other lines)
};

// Splits a message printed by report or report_at_line for this definition
// file into its parts; any other text is all body.
MessageParts message_parts(const char* definition_name, const std::string& message);

// The hints for one message (its whole text as veska printed it, perhaps
// over more than one line): none for the progress lines and for messages
// that need none.
std::vector<std::string> message_hints(const CheckContext& context, const std::string& message);

// The case-insensitive edit distance between two names.
unsigned edit_distance(const std::string& a, const std::string& b);

}  // namespace lumora
