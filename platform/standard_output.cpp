// What standard output does alike on every system: its bytes to the C
// stream, and the first failure kept.
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

int StandardOutput::flush_stream()
{
    errno = 0;
    if (std::fflush(stream_) != 0) {
        fail(errno);
    }
    if (std::ferror(stream_) != 0) {
        fail(EIO);
    }
    return error_;
}

}  // namespace lumora
