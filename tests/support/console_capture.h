// Test support: a console whose output a test reads back.
#pragma once

#include <string>

#include "basics/console.h"

namespace lumora {

// A console that keeps what is written to it; text() returns everything
// written to it so far.
class ConsoleCapture {
public:
    ConsoleCapture() = default;
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;
    Console console() { return Console{&sink_}; }
    std::string text() const { return text_; }

private:
    std::string text_;
    StringText sink_{text_};
};

}  // namespace lumora
