// The mechanical fixes of a definition file's messages: for a message whose
// mending needs no choice, the words of its button and the one line it
// rewrites (or takes out), which definition_editing turns into the file's
// new bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "basics/messages.h"
#include "definition/definition.h"

namespace lumora {

struct MessageFix {
    std::string words;                // the button's words, "Fix: ..."
    std::uint32_t line;               // the line it rewrites
    std::optional<std::string> text;  // the line's new text as shown (UTF-8, no line end); none: take it out
};

// The fix of a message about the definition as read, or none.
std::optional<MessageFix> message_fix(const Definition& definition, const Message& message);

}  // namespace lumora
