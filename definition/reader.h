// The reader of the definition file: a plain-text file in sections ([Main],
// [Light 1] .. [Light 3]) of "name=value" lines, comments starting with ';'.
// Every accepted line is stored as text in the definition's sections;
// problems are reported and reading goes on, except where noted below.
#pragma once

#include <cstdio>

#include "basics/diagnostics.h"
#include "definition/definition.h"

namespace lumora {

constexpr unsigned LINE_BUFFER_SIZE = 256;  // a line of at most 255 characters and its terminator

// The results of reading a definition file.
enum : int {
    DEFINITION_READ = 0,        // read to its end
    DEFINITION_FAILED = 1,      // read, but its contents make reading fail
    DEFINITION_NOT_READ = 2,    // the file could not be opened or read
};

// Reads the whole definition file from stream, which the caller opened and
// closes afterwards. At the end of [Main] the number of lights is settled
// and the ground pitch is computed. Returns DEFINITION_FAILED when its
// contents make reading fail: a header that names no known section, a
// missing or invalid Lights value, the end of the file inside [Main] (the
// light sections it lacks are reported), or memory exhausted. A read error
// stops reading at once, prints "Error reading definition file ..." and
// gives DEFINITION_NOT_READ. Otherwise returns DEFINITION_READ.
int read_definition_file(Diagnostics& diagnostics, Definition& definition, std::FILE* stream);

// Opens the named definition file, reads it with read_definition_file and
// closes it. A file that cannot be opened (or no name: the command line
// gave none) prints "Error opening definition file ..." and gives
// DEFINITION_NOT_READ; otherwise the result is read_definition_file's.
int read_definition_named(Diagnostics& diagnostics, Definition& definition, const char* name);

}  // namespace lumora
