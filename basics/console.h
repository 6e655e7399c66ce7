// Where the program's output goes. Everything it says, progress lines and
// diagnostics alike, is written to one sink: the platform's standard output
// in the programs (which shows the text on a Windows console as the
// characters it holds), a string when the caller wants the text itself (a
// test, the tuning page), or nothing when a step is to run silently.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/standard_output.h"

namespace lumora {

// Somewhere text goes.
class TextSink {
public:
    virtual void write(const char* text, std::size_t size) = 0;

protected:
    ~TextSink() = default;
};

// Text that goes to the platform's standard output.
class StandardOutputText final : public TextSink {
public:
    explicit StandardOutputText(StandardOutput& output) : output_(output) {}
    void write(const char* text, std::size_t size) override { output_.write(text, size); }

private:
    StandardOutput& output_;
};

// Text kept in a string.
class StringText final : public TextSink {
public:
    explicit StringText(std::string& text) : text_(text) {}
    void write(const char* text, std::size_t size) override { text_.append(text, size); }

private:
    std::string& text_;
};

struct Console {
    TextSink* sink = nullptr;  // null: nothing is printed
};

void console_write(const Console& console, std::string_view text);

// Flushes and closes standard output, which output writes: 0 when all that
// was written to it reached it, else the error number (EIO where the system
// gave none).
[[nodiscard]] int close_standard_output(StandardOutput& output);

}  // namespace lumora
