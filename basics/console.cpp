#include "basics/console.h"

#include <cerrno>

namespace lumora {

void console_write(const Console& console, std::string_view text)
{
    if (console.sink != nullptr) {
        console.sink->write(text.data(), text.size());
    }
}

int close_standard_output(StandardOutput& output)
{
    // A write that failed earlier is told by its first error; what the
    // output still holds is written first.
    int error = output.flush();
    errno = 0;
    if (std::fclose(stdout) != 0 && error == 0) {
        error = errno != 0 ? errno : EIO;
    }
    return error;
}

}  // namespace lumora
