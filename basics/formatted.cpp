#include "basics/formatted.h"

#include <cstdarg>
#include <cstdio>

namespace lumora {

namespace {

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

void append_format(std::string& text, const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    append_vformat(text, format, args);
    va_end(args);
}

std::string formatted(const char* format, ...)
{
    std::string text;
    std::va_list args;
    va_start(args, format);
    append_vformat(text, format, args);
    va_end(args);
    return text;
}

}  // namespace lumora
