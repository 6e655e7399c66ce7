// Standard output on POSIX systems: the bytes as they are, to a terminal
// too, which reads them as UTF-8 or in its own encoding as the user set it.
#include "platform/standard_output.h"

namespace lumora {

StandardOutput::StandardOutput(std::FILE* stream) : stream_(stream) {}

// There is no console to write to here: console_ stays 0.
void StandardOutput::to_console(const char*, std::size_t, bool) {}

}  // namespace lumora
