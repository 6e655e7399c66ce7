// Standard output on Windows. A console gets the text as UTF-16 through
// WriteConsoleW, whatever its code page; a file or a pipe gets the bytes
// through the C stream, which prepare_standard_output has set to write them
// unchanged.
#include "platform/standard_output.h"

#include <io.h>
#include <windows.h>

namespace lumora {

namespace {

enum class SequenceKind { whole, cut, invalid };

struct Sequence {
    SequenceKind kind;
    std::size_t length;    // the bytes it takes (1 for an invalid byte)
    std::uint32_t value;   // the code point of a whole sequence
};

// The UTF-8 sequence that begins at bytes[0], of which available bytes are
// there: whole, cut short by the end of the bytes, or invalid (an overlong
// form, a surrogate, a value beyond U+10FFFF, a stray continuation byte).
Sequence utf8_sequence(const unsigned char* bytes, std::size_t available)
{
    const unsigned char lead = bytes[0];
    if (lead < 0x80) {
        return {SequenceKind::whole, 1, lead};
    }
    std::size_t length = 0;
    std::uint32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07u;
    } else {
        return {SequenceKind::invalid, 1, 0};
    }
    // The second byte's range excludes the overlong forms, the surrogates
    // and what lies beyond U+10FFFF.
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    for (std::size_t i = 1; i < length; ++i) {
        if (i >= available) {
            return {SequenceKind::cut, i, 0};
        }
        const unsigned char c = bytes[i];
        if (c < (i == 1 ? low : 0x80) || c > (i == 1 ? high : 0xBF)) {
            return {SequenceKind::invalid, 1, 0};
        }
        value = (value << 6) | (c & 0x3Fu);
    }
    return {SequenceKind::whole, length, value};
}

// A byte that is not UTF-8 is shown as the character it is in the system's
// code page for 8-bit text, which is what a definition file saved as ANSI
// holds.
wchar_t system_code_page_character(unsigned char byte)
{
    const char narrow = static_cast<char>(byte);
    wchar_t wide = 0;
    return ::MultiByteToWideChar(CP_ACP, 0, &narrow, 1, &wide, 1) == 1 ? wide : L'\xFFFD';
}

void append_utf16(std::wstring& text, std::uint32_t c)
{
    if (c < 0x10000) {
        text += static_cast<wchar_t>(c);
    } else {
        text += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
        text += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
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
        const Sequence sequence = utf8_sequence(data + at, text.size() - at);
        if (sequence.kind == SequenceKind::cut && !last) {
            held_ = text.substr(at);
            text.resize(at);
            break;
        }
        if (sequence.kind == SequenceKind::whole) {
            append_utf16(wide, sequence.value);
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

void StandardOutput::write(const char* bytes, std::size_t size)
{
    if (console_ != 0) {
        to_console(bytes, size, false);
    } else {
        to_stream(bytes, size);
    }
}

int StandardOutput::flush()
{
    // A sequence that stays cut short is shown byte by byte.
    if (console_ != 0 && !held_.empty()) {
        to_console("", 0, true);
    }
    return flush_stream();
}

}  // namespace lumora
