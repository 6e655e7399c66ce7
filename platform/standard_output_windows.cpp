// Standard output on Windows. A console gets the text as UTF-16 through
// WriteConsoleW, whatever its code page; a file or a pipe gets the bytes
// through the C stream, which prepare_standard_output has set to write them
// unchanged.
#include "platform/standard_output.h"

#include <io.h>
#include <windows.h>

#include "unicode/utf.h"

namespace lumora {

namespace {

// A byte that is not UTF-8 is shown as the character it is in the system's
// code page for 8-bit text, which is what a definition file saved as ANSI
// holds.
wchar_t system_code_page_character(unsigned char byte)
{
    const char narrow = static_cast<char>(byte);
    wchar_t wide = 0;
    return ::MultiByteToWideChar(CP_ACP, 0, &narrow, 1, &wide, 1) == 1 ? wide : L'\xFFFD';
}

// Writes all of text to the console, in pieces that a console of any age
// takes and that do not part a surrogate pair. False when the console
// refuses.
bool write_console(HANDLE console, const std::wstring& text)
{
    constexpr std::size_t PIECE = 8192;
    std::size_t done = 0;
    while (done < text.size()) {
        std::size_t length = text.size() - done < PIECE ? text.size() - done : PIECE;
        if (done + length < text.size() && text[done + length - 1] >= 0xD800 && text[done + length - 1] <= 0xDBFF) {
            --length;
        }
        DWORD wrote = 0;
        if (!::WriteConsoleW(console, text.data() + done, static_cast<DWORD>(length), &wrote, nullptr) || wrote == 0) {
            return false;
        }
        done += wrote;
    }
    return true;
}

}  // namespace

StandardOutput::StandardOutput(std::FILE* stream) : stream_(stream)
{
    const int descriptor = ::_fileno(stream);
    const HANDLE handle = descriptor >= 0 ? reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor)) : INVALID_HANDLE_VALUE;
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr && ::GetConsoleMode(handle, &mode)) {
        console_ = reinterpret_cast<std::intptr_t>(handle);
    }
}

void StandardOutput::to_console(const char* bytes, std::size_t size, bool last)
{
    std::string text = held_;
    text.append(bytes, size);
    held_.clear();
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    std::wstring wide;
    wide.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const Utf8Sequence sequence = decode_utf8(data + at, text.size() - at);
        if (sequence.kind == Utf8Kind::cut && !last) {
            held_ = text.substr(at);
            text.resize(at);
            break;
        }
        if (sequence.kind == Utf8Kind::whole) {
            append_utf16(sequence.code_point, [&wide](std::uint16_t unit) { wide += static_cast<wchar_t>(unit); });
            at += sequence.length;
        } else {
            wide += system_code_page_character(data[at]);
            ++at;
        }
    }
    // Anything the stream still holds comes first.
    std::fflush(stream_);
    if (!write_console(reinterpret_cast<HANDLE>(console_), wide)) {
        // The console is gone or is none after all: from here on the bytes
        // go where any output's bytes go.
        console_ = 0;
        text += held_;
        held_.clear();
        to_stream(text.data(), text.size());
    }
}

}  // namespace lumora
