// The definition file as text: its bytes decoded (a byte-order mark of
// UTF-8 skipped, UTF-16 turned into UTF-8), cut into the lines the reader
// reads, and the rules by which a line is cut into a key's name and value.
// The reader and the check read a file through these alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

// How a definition file's bytes were read: plain is ASCII or UTF-8 without
// a mark; plain_not_utf8 is a file without a mark whose bytes are not UTF-8
// (a code page of the system, such as what Notepad saves as "ANSI"), read
// byte for byte all the same.
enum class TextEncoding { plain, plain_not_utf8, utf8_with_mark, utf16_little_endian, utf16_big_endian };

// How an encoding is worded: briefly, as the tuning page names the file's,
// and whole, as the check says how the file was read ("The file was read
// as ...").
struct EncodingWords {
    const char* label;
    const char* as_read;
};
const EncodingWords& encoding_words(TextEncoding encoding);

struct DecodedText {
    std::string text;  // what the reader reads: the bytes as they are, or UTF-8
    TextEncoding encoding;
    bool valid;        // false: UTF-16 announced by its mark, but the rest is not UTF-16
};

// The bytes of a definition file as the text the reader reads. A UTF-8
// byte-order mark at the very start is dropped. A UTF-16 byte-order mark
// (FF FE or FE FF) makes the rest UTF-16 of that byte order, converted to
// UTF-8; an odd number of bytes or a lone surrogate makes it invalid. Any
// other file is taken byte for byte.
DecodedText decode_definition_bytes(std::string bytes);

// The inverse: the bytes of a decoded text in an encoding, its byte-order
// mark put back and UTF-8 turned into UTF-16 where the encoding says so.
std::string encode_definition_text(const std::string& text, TextEncoding encoding);

// Marks the end of the text: outside a section it ends the file, inside one
// it ends the section.
constexpr char END_OF_TEXT = 0x1A;

// The longest line the reader takes in one piece; a longer line is read as
// several lines of at most this many characters.
constexpr std::size_t LINE_PIECE_MAX = 255;

constexpr int NO_SECTION = -1;

struct SourceLine {
    std::uint32_t number;    // from 1
    int section;             // NO_SECTION, 0 for [Main] or n for [Light n], as the reader tracks it
    std::string_view raw;    // every byte of the line, its line end included
    std::string_view visible;  // what the reader sees of it: up to a zero byte
    std::uint32_t continues;  // 0, or for the later pieces of a line longer than LINE_PIECE_MAX the
                              // number of its first piece
};

// The lines of a text, cut as the reader cuts them: after a line feed, or
// after LINE_PIECE_MAX characters. A header line opens the section it
// names (no section for any other header), and the end-of-text mark ends
// the section: the lines after it lie outside any section. The text is kept
// whole; the lines are found again from every sixteenth line's place, so
// that a file of many short lines costs little more than its text.
class SourceLines {
public:
    SourceLines() = default;
    explicit SourceLines(std::string text);

    // Line n (from 1 to the last); an empty line numbered 0 for any other n.
    SourceLine line(std::uint32_t n) const;

    // How many lines there are.
    std::uint32_t count() const { return count_; }

    // Reads the lines from the first on, one after the other.
    class Cursor {
    public:
        explicit Cursor(const SourceLines& lines) : lines_(&lines) {}
        // The next line; false after the last.
        bool next(SourceLine& line);

    private:
        const SourceLines* lines_;
        std::uint32_t number_ = 0;
        std::size_t at_ = 0;
    };

private:
    SourceLine line_at(std::uint32_t n, std::size_t at) const;
    int section_of(std::uint32_t n) const;
    std::uint32_t continued_line(std::uint32_t n) const;

    struct SectionStart {
        std::uint32_t line;  // the first line in this section
        int section;
    };
    struct LongLine {
        std::uint32_t first;  // its first and last piece
        std::uint32_t last;
    };

    std::string text_;
    std::vector<std::size_t> checkpoints_;  // where lines 1, 17, 33, ... begin
    std::vector<SectionStart> sections_;
    std::vector<LongLine> long_lines_;
    std::uint32_t count_ = 0;
};

// What the reader sees of a line: its bytes up to a zero byte.
inline std::string_view visible_part(std::string_view raw) { return raw.substr(0, raw.find('\0')); }

// The text up to its first carriage return or line feed.
std::string_view without_line_end(std::string_view text);

// A key line cut as the reader cuts it: blanks and tabs at its start
// skipped, then any '=' characters; the name runs to the next '=' (without
// one, to the end of the line, its line end included); the value runs from
// behind that '=', carriage returns and line feeds skipped, to the next
// carriage return or line feed. Neither is trimmed.
struct KeyLine {
    std::string_view name;
    std::string_view value;
    bool has_equals;
};
KeyLine split_key_line(std::string_view visible);

}  // namespace lumora
