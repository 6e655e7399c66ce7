// The program's standard output. Redirected to a file or a pipe it takes the
// bytes as they are, the same bytes on every system. On a Windows console it
// shows the characters the UTF-8 text stands for: the text goes to the
// console as UTF-16 through the console's own call, since the console would
// otherwise read the bytes in its old code page, and a letter with an
// umlaut would show as two box-drawing characters (standard_output_windows.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace lumora {

class StandardOutput {
public:
    // The output behind stream, which must stay open while this object
    // writes to it; stream should write its bytes unchanged (see
    // prepare_standard_output).
    explicit StandardOutput(std::FILE* stream);
    StandardOutput(const StandardOutput&) = delete;
    StandardOutput& operator=(const StandardOutput&) = delete;

    // Writes the bytes, or shows them on the console as the text they hold.
    // Where the console refuses the text, the bytes go to the stream as
    // anywhere else, so that a failure shows in the stream's own error
    // state too.
    void write(const char* bytes, std::size_t size);

    // Writes what is still held back (the start of a UTF-8 sequence that a
    // later write would have completed) and flushes the stream. 0 when
    // everything written so far reached the output, else the error number
    // of the first failure (EIO where the system gave none).
    int flush();

private:
    void fail(int error);
    void to_stream(const char* bytes, std::size_t size);
    // Shows the bytes on the console; unless last, holds back a UTF-8
    // sequence that they end before its end.
    void to_console(const char* bytes, std::size_t size, bool last);

    std::FILE* stream_;
    std::intptr_t console_ = 0;  // the console's handle; 0 when the output is no console
    std::string held_;           // the start of a UTF-8 sequence that the next write may complete
    int error_ = 0;
};

}  // namespace lumora
