// The reader of the definition file: a plain-text file in sections ([Main],
// [Light 1] .. [Light 3]) of "name=value" lines, comments starting with ';'.
// Every accepted line is stored as text in run_state.sections; problems are
// reported and reading goes on, except where noted below.
#pragma once

#include <cstdio>

// Reads the whole definition file from stream, which the caller opened in
// text mode and closes afterwards. At the end of [Main] the number of lights
// is settled (run_state.light_count) and the ground pitch is computed.
// Returns 1 when reading fails: a header that names no known section, a
// missing or invalid Lights value, or the end of the file inside [Main].
// Otherwise returns 0.
int read_definition_file(std::FILE* stream);
