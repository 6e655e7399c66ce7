// The reader of the definition file: a plain-text file in sections ([Main],
// [Light 1] .. [Light 3]) of "name=value" lines, comments starting with ';'.
// Every accepted line is stored as text in the definition's sections, and
// every line read is kept; problems are reported and reading goes on,
// except where noted below.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "basics/messages.h"
#include "definition/definition.h"
#include "definition/keys.h"
#include "platform/file_system.h"

namespace lumora {

// What the reader makes of a line, by its first character alone (the
// visible part of a line as SourceLines cuts it; a later piece of a long
// line is read as a line of its own).
enum class LineKind { ignored, end_of_text, header, key };
LineKind classify_line(std::string_view line);

// The key a key line of a section (NO_SECTION: none) names, its name cut as
// the reader cuts it (without regard to a missing '='); null for any other
// line, and for a later piece of a long line.
const KeyName* key_of_line(std::string_view visible, int section, bool continues);

enum class [[nodiscard]] ReadOutcome {
    read,      // read to its end
    failed,    // read, but its contents make reading fail
    not_read,  // the file could not be opened or read, or is not the text it claims to be
};

// Reads the definition from the file's bytes. At the end of [Main] the
// number of lights is settled and the ground pitch is computed. Gives
// ReadOutcome::failed when the contents make reading fail: a header that
// names no known section, a missing or invalid Lights value, the end of the
// file inside [Main] (the light sections it lacks are reported), or memory
// exhausted. A file that announces UTF-16 by its byte-order mark but is not
// UTF-16 is not read at all ("Error reading definition file ...").
ReadOutcome read_definition_bytes(Diagnostics& diagnostics, Definition& definition, std::string bytes);

// The longest definition file read: a longer one (or a device that never
// ends) cannot be read, and the memory a read takes stays bounded.
constexpr std::uint64_t DEFINITION_MOST = 64u << 20;

// Reads the named file whole through files and then its definition. A file
// that cannot be opened (or no name: the command line gave none) reports
// "Error opening definition file ...", one that cannot be read to its end
// or is longer than DEFINITION_MOST "Error reading definition file ...",
// and gives ReadOutcome::not_read: nothing of it is read then.
ReadOutcome read_definition_named(Diagnostics& diagnostics, FileSystem& files, Definition& definition,
                                  const std::optional<std::string>& name);

}  // namespace lumora
