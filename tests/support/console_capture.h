// Test support: a console whose output a test reads back.
#pragma once

#include <cstdio>
#include <string>

#include "basics/console.h"
#include "tests/support/files.h"

namespace lumora {

// A console that writes to a file of its own; text() returns everything
// written to it so far.
class ConsoleCapture {
public:
    ConsoleCapture();
    ~ConsoleCapture();
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;
    Console console() const { return Console{file_}; }
    std::string text() const;

private:
    ScratchDir dir_;
    std::FILE* file_;
};

}  // namespace lumora
