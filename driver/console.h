// Where the program's output goes. Everything the program says, progress
// lines and diagnostics alike, is written to one stream: standard output in
// the program, a temporary file when a test wants to read it back.
#pragma once

#include <cstdarg>
#include <cstdio>

#if defined(__GNUC__)
#define VESKA_PRINTF(fmt_index, first_arg) __attribute__((format(printf, fmt_index, first_arg)))
#else
#define VESKA_PRINTF(fmt_index, first_arg)
#endif

// The stream that console_print writes to; null means standard output.
extern std::FILE* console_stream;

std::FILE* console();
void console_print(const char* format, ...) VESKA_PRINTF(1, 2);
void console_vprint(const char* format, std::va_list args);
void console_write(const char* text);
