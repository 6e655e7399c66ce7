#include "basics/console.h"

#include <cerrno>
#include <cstring>

#include "basics/formatted.h"

namespace lumora {

namespace {

void console_vprint(const Console& console, const char* format, std::va_list args)
{
    if (console.text != nullptr) {
        std::va_list copy;
        va_copy(copy, args);
        append_vformat(*console.text, format, copy);
        va_end(copy);
    }
    if (console.standard_output != nullptr) {
        std::string text;
        std::va_list copy;
        va_copy(copy, args);
        append_vformat(text, format, copy);
        va_end(copy);
        console.standard_output->write(text.data(), text.size());
    }
    if (console.stream != nullptr) {
        std::vfprintf(console.stream, format, args);
    }
}

}  // namespace

void console_print(const Console& console, const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    console_vprint(console, format, args);
    va_end(args);
}

void console_write(const Console& console, const char* text)
{
    if (console.text != nullptr) {
        console.text->append(text, std::strlen(text));
    }
    if (console.standard_output != nullptr) {
        console.standard_output->write(text, std::strlen(text));
    }
    if (console.stream != nullptr) {
        std::fputs(text, console.stream);
    }
}

void console_write(const Console& console, const std::string& text)
{
    if (console.text != nullptr) {
        console.text->append(text);
    }
    if (console.standard_output != nullptr) {
        console.standard_output->write(text.data(), text.size());
    }
    if (console.stream != nullptr) {
        std::fwrite(text.data(), 1, text.size(), console.stream);
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
