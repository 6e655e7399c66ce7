// What to change for each message about a definition file: one short line
// chosen by the message's identity and worked out from its subjects, the
// lines of the file it points at, and what the reader stored.
#pragma once

#include <optional>
#include <string>

#include "basics/messages.h"
#include "definition/definition.h"
#include "definition/keys.h"

namespace lumora {

// What the hints need to know of the whole file.
struct FileFacts {
    int highest_light_section = 0;  // the highest n of the [Light n] headers, 0 when there is none
    bool has_main_header = false;
};

// The definition a check looks at: as the reader fills it, and at the end as
// read_and_compute_lights left it. The file's facts are gathered once, the
// first time a hint needs them.
class CheckContext {
public:
    explicit CheckContext(const Definition& definition) : definition(definition) {}

    const FileFacts& facts() const;

    const Definition& definition;

private:
    mutable std::optional<FileFacts> facts_;
};

// The key of the table whose name is nearest to name (by edit distance,
// without regard to case); the first of equals. *distance gets the distance.
const KeyName& nearest_key(const KeyTable& table, const std::string& name, unsigned* distance = nullptr);

// The unit suffix a common word for a unit stands for ("feet": "ft"), or
// empty.
std::string unit_for_word(const std::string& word);

// The key's name as the line of the entry writes it, blanks and all (the
// other gear's keys have two names); empty for no entry.
std::string written_name(const Definition& definition, const DefinitionEntry* entry);

// The text in lower case without its blanks and tabs, as a header is
// compared with the one it means: "[ light 1 ]" and "[Light1]" alike.
std::string squeezed(std::string_view text);

// The hint for one message, or empty for the progress lines and for
// messages that need none.
std::string message_hint(const CheckContext& context, const Message& message);

}  // namespace lumora
