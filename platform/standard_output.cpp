// What standard output does alike on every system: its bytes to the C
// stream or to the console, and the first failure kept. The console's part
// is Windows' own (standard_output_windows.cpp).
#include "platform/standard_output.h"

#include <cerrno>

namespace lumora {

void StandardOutput::fail(int error)
{
    if (error_ == 0) {
        error_ = error != 0 ? error : EIO;
    }
}

void StandardOutput::to_stream(const char* bytes, std::size_t size)
{
    errno = 0;
    if (size != 0 && std::fwrite(bytes, 1, size, stream_) != size) {
        fail(errno);
    }
}

void StandardOutput::write(const char* bytes, std::size_t size)
{
    if (console_ != 0) {
        to_console(bytes, size, false);
    } else {
        to_stream(bytes, size);
    }
}

int StandardOutput::flush()
{
    // A sequence that stays cut short is shown byte by byte.
    if (console_ != 0 && !held_.empty()) {
        to_console("", 0, true);
    }
    errno = 0;
    if (std::fflush(stream_) != 0) {
        fail(errno);
    }
    if (std::ferror(stream_) != 0) {
        fail(EIO);
    }
    return error_;
}

#if !defined(_WIN32)
// POSIX systems: the bytes as they are, to a terminal too, which reads them
// as UTF-8 or in its own encoding as the user set it; console_ stays 0.
StandardOutput::StandardOutput(std::FILE* stream) : stream_(stream) {}

void StandardOutput::to_console(const char*, std::size_t, bool) {}
#endif

}  // namespace lumora
