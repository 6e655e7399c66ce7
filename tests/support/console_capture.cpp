#include "tests/support/console_capture.h"

#include <stdexcept>

namespace lumora {

ConsoleCapture::ConsoleCapture() : file_(std::fopen(dir_.file("console.txt").c_str(), "w+b"))
{
    if (file_ == nullptr) {
        throw std::runtime_error("cannot make the console's file");
    }
}

ConsoleCapture::~ConsoleCapture() { std::fclose(file_); }

std::string ConsoleCapture::text() const
{
    std::fflush(file_);
    std::rewind(file_);
    std::string content;
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file_)) > 0) {
        content.append(chunk, got);
    }
    std::fseek(file_, 0, SEEK_END);
    return content;
}

}  // namespace lumora
