#include "basics/console.h"

#include <cerrno>

#include "basics/formatted.h"

namespace lumora {

void console_print(const Console& console, const char* format, ...)
{
    if (console.sink == nullptr) {
        return;
    }
    std::string text;
    std::va_list args;
    va_start(args, format);
    append_vformat(text, format, args);
    va_end(args);
    console.sink->write(text.data(), text.size());
}

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
