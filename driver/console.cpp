#include "driver/console.h"

std::FILE* console_stream = nullptr;

std::FILE* console() { return console_stream != nullptr ? console_stream : stdout; }

void console_print(const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    console_vprint(format, args);
    va_end(args);
}

void console_vprint(const char* format, std::va_list args) { std::vfprintf(console(), format, args); }

void console_write(const char* text) { std::fputs(text, console()); }
