// Standard output on POSIX systems: the bytes as they are, to a terminal
// too, which reads them as UTF-8 or in its own encoding as the user set it.
#include "platform/standard_output.h"

namespace lumora {

StandardOutput::StandardOutput(std::FILE* stream) : stream_(stream) {}

void StandardOutput::write(const char* bytes, std::size_t size) { to_stream(bytes, size); }

int StandardOutput::flush() { return flush_stream(); }

}  // namespace lumora
