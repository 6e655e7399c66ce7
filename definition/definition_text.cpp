#include "definition/definition_text.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "basics/text.h"
#include "basics/windows_1252.h"
#include "definition/keys.h"
#include "unicode/utf.h"

namespace lumora {

namespace {

constexpr std::uint32_t LINES_PER_CHECKPOINT = 16;

// The words of each encoding, in the order of TextEncoding.
constexpr EncodingWords ENCODINGS[] = {
    {"plain text", "plain text (ASCII or UTF-8, without a byte-order mark)"},
    {"plain text, not UTF-8", "plain text with bytes that are not UTF-8, such as ANSI from Notepad; kept as they are"},
    {"UTF-8 with byte-order mark", "UTF-8; its byte-order mark was skipped"},
    {"UTF-16 (little-endian, with byte-order mark)",
     "UTF-16 little-endian text (what editors save as \"Unicode\"), converted to UTF-8"},
    {"UTF-16 (big-endian, with byte-order mark)",
     "UTF-16 big-endian text (what editors save as \"Unicode big endian\"), converted to UTF-8"},
};
static_assert(sizeof ENCODINGS / sizeof ENCODINGS[0] == static_cast<std::size_t>(TextEncoding::utf16_big_endian) + 1,
              "every encoding needs its words");

// The byte-order mark that a file in each encoding begins with, in the
// order of TextEncoding.
constexpr std::string_view MARKS[std::size(ENCODINGS)] = {"", "", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};

std::string_view mark_of(TextEncoding encoding) { return MARKS[static_cast<std::size_t>(encoding)]; }

// UTF-16 code units from the bytes behind the mark, to UTF-8. False when
// they are not UTF-16: an odd number of bytes, or a surrogate without its
// partner.
bool utf16_to_utf8(const std::string& bytes, bool little_endian, std::string& text)
{
    const std::size_t size = bytes.size();
    if ((size - 2) % 2 != 0) {
        return false;
    }
    text.reserve(size / 2 + size / 4);
    const auto unit = [&](std::size_t at) {
        const auto first = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at]));
        const auto second = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1]));
        return little_endian ? first | (second << 8) : (first << 8) | second;
    };
    const auto is_low = [](std::uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; };
    for (std::size_t at = 2; at < size; at += 2) {
        std::uint32_t c = unit(at);
        if (c >= 0xD800 && c <= 0xDBFF && at + 2 < size && is_low(unit(at + 2))) {
            at += 2;
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(at) - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            return false;
        }
        append_utf8(text, c);
    }
    return true;
}

// The length of the line that begins at at: through its line feed, or
// LINE_PIECE_MAX characters, or to the end of the text.
std::size_t piece_length(const std::string& text, std::size_t at)
{
    const std::size_t room = std::min(text.size() - at, LINE_PIECE_MAX);
    const void* feed = std::memchr(text.data() + at, '\n', room);
    return feed != nullptr ? static_cast<std::size_t>(static_cast<const char*>(feed) - (text.data() + at)) + 1 : room;
}

}  // namespace

const EncodingWords& encoding_words(TextEncoding encoding) { return ENCODINGS[static_cast<std::size_t>(encoding)]; }

DecodedText decode_definition_bytes(std::string bytes)
{
    if (starts_with(bytes, mark_of(TextEncoding::utf8_with_mark))) {
        bytes.erase(0, mark_of(TextEncoding::utf8_with_mark).size());
        return {std::move(bytes), TextEncoding::utf8_with_mark, true};
    }
    const bool little = starts_with(bytes, mark_of(TextEncoding::utf16_little_endian));
    if (little || starts_with(bytes, mark_of(TextEncoding::utf16_big_endian))) {
        std::string text;
        const bool valid = utf16_to_utf8(bytes, little, text);
        return {valid ? std::move(text) : std::string(),
                little ? TextEncoding::utf16_little_endian : TextEncoding::utf16_big_endian, valid};
    }
    const TextEncoding encoding = is_utf8(bytes) ? TextEncoding::plain : TextEncoding::plain_not_utf8;
    return {std::move(bytes), encoding, true};
}

std::string encode_definition_text(const std::string& text, TextEncoding encoding)
{
    std::string bytes(mark_of(encoding));
    const bool little = encoding == TextEncoding::utf16_little_endian;
    if (!little && encoding != TextEncoding::utf16_big_endian) {
        return bytes + text;
    }
    const auto put = [&](std::uint16_t unit) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += little ? low : high;
        bytes += little ? high : low;
    };
    // The text is UTF-8 (decoded from UTF-16, with ASCII added); a byte that
    // is not becomes U+FFFD.
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Sequence sequence = decode_utf8(data + at, text.size() - at);
        append_utf16(sequence.kind == Utf8Kind::whole ? sequence.code_point : 0xFFFD, put);
        at += sequence.length;
    }
    return bytes;
}

SourceLines::SourceLines(std::string text) : text_(std::move(text))
{
    int section = NO_SECTION;
    std::uint32_t long_start = 0;
    for (std::size_t at = 0; at < text_.size();) {
        const std::size_t length = piece_length(text_, at);
        const std::uint32_t n = ++count_;
        if ((n - 1) % LINES_PER_CHECKPOINT == 0) {
            checkpoints_.push_back(at);
        }
        // A line of LINE_PIECE_MAX characters without its line feed goes on
        // in the next piece.
        const bool cut = length == LINE_PIECE_MAX && text_[at + length - 1] != '\n' && at + length < text_.size();
        if (cut && long_start == 0) {
            long_start = n;
        } else if (!cut && long_start != 0) {
            long_lines_.push_back({long_start, n});
            long_start = 0;
        }
        const char first = text_[at];
        int next = section;
        if (first == '[') {
            const std::string_view raw(text_.data() + at, length);
            section = next = header_section(without_line_end(visible_part(raw)));
        } else if (first == END_OF_TEXT) {
            next = NO_SECTION;
        }
        if (sections_.empty() || sections_.back().section != section) {
            sections_.push_back({n, section});
        }
        section = next;
        at += length;
    }
}

int SourceLines::section_of(std::uint32_t n) const
{
    const auto after = std::upper_bound(sections_.begin(), sections_.end(), n,
                                        [](std::uint32_t line, const SectionStart& start) { return line < start.line; });
    return after == sections_.begin() ? NO_SECTION : std::prev(after)->section;
}

std::uint32_t SourceLines::continued_line(std::uint32_t n) const
{
    const auto after = std::upper_bound(long_lines_.begin(), long_lines_.end(), n,
                                        [](std::uint32_t line, const LongLine& long_line) { return line < long_line.first; });
    if (after == long_lines_.begin()) {
        return 0;
    }
    const LongLine& found = *std::prev(after);
    return n > found.first && n <= found.last ? found.first : 0;
}

SourceLine SourceLines::line_at(std::uint32_t n, std::size_t at) const
{
    const std::string_view raw(text_.data() + at, piece_length(text_, at));
    return {n, section_of(n), raw, visible_part(raw), continued_line(n)};
}

bool SourceLines::Cursor::next(SourceLine& line)
{
    if (number_ >= lines_->count_) {
        return false;
    }
    line = lines_->line_at(++number_, at_);
    at_ += line.raw.size();
    return true;
}

SourceLine SourceLines::line(std::uint32_t n) const
{
    if (n < 1 || n > count_) {
        return {0, NO_SECTION, std::string_view(), std::string_view(), 0};
    }
    std::size_t at = checkpoints_[(n - 1) / LINES_PER_CHECKPOINT];
    for (std::uint32_t k = (n - 1) / LINES_PER_CHECKPOINT * LINES_PER_CHECKPOINT + 1; k < n; ++k) {
        at += piece_length(text_, at);
    }
    return line_at(n, at);
}

namespace {

bool is_line_end(char c) { return c == '\r' || c == '\n'; }

}  // namespace

// The scans below test each character in place: the lines are short, and
// find_first_of and its kin search their set once per character.
std::string_view without_line_end(std::string_view text)
{
    std::size_t end = 0;
    while (end < text.size() && !is_line_end(text[end])) {
        ++end;
    }
    return text.substr(0, end);
}

KeyLine split_key_line(std::string_view visible)
{
    const std::size_t size = visible.size();
    std::size_t start = 0;
    while (start < size && (visible[start] == ' ' || visible[start] == '\t')) {
        ++start;
    }
    while (start < size && visible[start] == '=') {
        ++start;
    }
    const std::size_t equals = visible.find('=', start);
    if (equals == std::string_view::npos) {
        return {visible.substr(start), std::string_view(), false};
    }
    std::size_t value = equals + 1;
    while (value < size && is_line_end(visible[value])) {
        ++value;
    }
    return {visible.substr(start, equals - start), without_line_end(visible.substr(value)), true};
}

}  // namespace lumora
