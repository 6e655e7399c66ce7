#include "basics/console.h"

#include <cstring>

namespace {

// Appends printf-style formatted text to text.
void append_vformat(std::string& text, const char* format, std::va_list args)
{
    char small[256];
    std::va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(small, sizeof small, format, measure);
    va_end(measure);
    if (length < 0) {
        return;
    }
    if (static_cast<std::size_t>(length) < sizeof small) {
        text.append(small, static_cast<std::size_t>(length));
        return;
    }
    std::string whole(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(&whole[0], whole.size(), format, args);
    text.append(whole, 0, static_cast<std::size_t>(length));
}

}  // namespace

void console_print(const Console& console, const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    console_vprint(console, format, args);
    va_end(args);
}

void console_vprint(const Console& console, const char* format, std::va_list args)
{
    if (console.text != nullptr) {
        std::va_list copy;
        va_copy(copy, args);
        append_vformat(*console.text, format, copy);
        va_end(copy);
    }
    if (console.stream != nullptr) {
        std::vfprintf(console.stream, format, args);
    }
}

void console_write(const Console& console, const char* text)
{
    if (console.text != nullptr) {
        console.text->append(text, std::strlen(text));
    }
    if (console.stream != nullptr) {
        std::fputs(text, console.stream);
    }
}
