#include "definition/definition_editing.h"

#include <algorithm>
#include <vector>

#include "basics/formatted.h"
#include "basics/number_text.h"
#include "basics/windows_1252.h"
#include "definition/keys.h"
#include "definition/reader.h"

namespace lumora {

namespace {

// One line of the text being edited, cut as the reader cuts it.
struct EditLine {
    std::string raw;   // every byte, its line end included
    int section;       // as the reader tracks it
    bool continues;    // a later piece of a line longer than the reader's pieces
};

struct EditText {
    std::vector<EditLine> lines;
    TextEncoding encoding;
    bool ansi;  // plain text that is not UTF-8: new text is written as Windows-1252
};

std::optional<EditText> open_text(const std::string& bytes)
{
    DecodedText decoded = decode_definition_bytes(bytes);
    if (!decoded.valid) {
        return std::nullopt;
    }
    EditText text{{}, decoded.encoding, decoded.encoding == TextEncoding::plain_not_utf8};
    const SourceLines lines(std::move(decoded.text));
    SourceLines::Cursor cursor(lines);
    SourceLine line{};
    while (cursor.next(line)) {
        text.lines.push_back({std::string(line.raw), line.section, line.continues != 0});
    }
    return text;
}

std::vector<EditLine>::iterator line_at(EditText& text, std::size_t index)
{
    return text.lines.begin() + static_cast<std::ptrdiff_t>(index);
}

std::string joined_text(const EditText& text)
{
    std::string joined;
    for (const EditLine& line : text.lines) {
        joined += line.raw;
    }
    return joined;
}

std::string close_text(const EditText& text) { return encode_definition_text(joined_text(text), text.encoding); }

// What the reader makes of a line; a later piece of a long line is no line
// of its own here.
LineKind kind_of(const EditLine& line)
{
    return line.continues ? LineKind::ignored : classify_line(visible_part(line.raw));
}

bool is_header(const EditLine& line) { return kind_of(line) == LineKind::header; }

bool is_empty_line(const EditLine& line) { return line.raw.find_first_not_of("\r\n") == std::string::npos; }

// The lines of a section's first occurrence: its header at begin, its
// lines up to end (the next header, an end-of-text mark, or another
// section).
struct Block {
    std::size_t begin;
    std::size_t end;
};

std::optional<Block> find_block(const EditText& text, unsigned section)
{
    const int wanted = static_cast<int>(section);
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        if (text.lines[i].section == wanted && is_header(text.lines[i])) {
            std::size_t end = i + 1;
            while (end < text.lines.size() && text.lines[end].section == wanted && !is_header(text.lines[end]) &&
                   kind_of(text.lines[end]) != LineKind::end_of_text) {
                ++end;
            }
            return Block{i, end};
        }
    }
    return std::nullopt;
}

// The line end the file uses: that of its first line that has one; a file
// without any gets the one every system's editor reads.
std::string line_end_of(const EditText& text)
{
    for (const EditLine& line : text.lines) {
        if (!line.raw.empty() && line.raw.back() == '\n') {
            return line.raw.size() >= 2 && line.raw[line.raw.size() - 2] == '\r' ? "\r\n" : "\n";
        }
    }
    return "\r\n";
}

// Inserts lines at index; a line before them that lacks its line end gets
// one first.
void insert_lines(EditText& text, std::size_t index, int section, const std::vector<std::string>& raws)
{
    const std::string end = line_end_of(text);
    if (index > 0) {
        std::string& before = text.lines[index - 1].raw;
        if (before.empty() || before.back() != '\n') {
            before += end;
        }
    }
    std::vector<EditLine> added;
    for (const std::string& raw : raws) {
        added.push_back({raw + end, section, false});
    }
    text.lines.insert(line_at(text, index), added.begin(), added.end());
}

// Where the text ends for the reader: at an end-of-text mark outside any
// section, or at its last line.
std::size_t reading_end(const EditText& text)
{
    const auto end = std::find_if(text.lines.begin(), text.lines.end(), [](const EditLine& line) {
        return line.section == NO_SECTION && kind_of(line) == LineKind::end_of_text;
    });
    return static_cast<std::size_t>(end - text.lines.begin());
}

// Adds a section with the given lines after its header: [Main] before the
// first section (followed by an empty line), a light section at the end
// (after an empty line).
void add_section(EditText& text, unsigned section, const std::vector<std::string>& body)
{
    std::vector<std::string> raws{section_header(section)};
    raws.insert(raws.end(), body.begin(), body.end());
    const int index = static_cast<int>(section);
    const auto first_header = std::find_if(text.lines.begin(), text.lines.end(), is_header);
    if (section == MAIN_SECTION && first_header != text.lines.end()) {
        raws.emplace_back();
        insert_lines(text, static_cast<std::size_t>(first_header - text.lines.begin()), index, raws);
        return;
    }
    const std::size_t at = reading_end(text);
    if (at > 0 && !is_empty_line(text.lines[at - 1])) {
        raws.insert(raws.begin(), std::string());
    }
    insert_lines(text, at, index, raws);
}

// Text as shown (UTF-8) written as the file writes its text.
std::string file_text(std::string_view shown, bool ansi)
{
    return ansi ? windows_1252_bytes(shown) : std::string(shown);
}

// new_text (UTF-8, as a text box or field shows the text) put in place of
// old_bytes (as the file holds them): the characters the two share at their
// start and at their end keep their bytes, and only those between are
// written anew, as the file writes its text, a line feed as line_end. A CR
// LF or a lone CR of the old text counts as one line feed.
std::string merged_text(std::string_view old_bytes, std::string_view new_text, bool ansi, std::string_view line_end)
{
    // The old text's units, a line end (CR LF, CR or LF) shown as one line
    // feed, as a text box shows it.
    std::vector<TextUnit> old_units = text_units(old_bytes);
    std::vector<TextUnit> joined;
    for (std::size_t i = 0; i < old_units.size(); ++i) {
        TextUnit unit = old_units[i];
        if (unit.shown == "\r") {
            unit.shown = "\n";
            if (i + 1 < old_units.size() && old_units[i + 1].bytes == "\n") {
                unit.bytes = old_bytes.substr(static_cast<std::size_t>(unit.bytes.data() - old_bytes.data()), 2);
                ++i;
            }
        }
        joined.push_back(std::move(unit));
    }
    const std::vector<TextUnit> new_units = text_units(new_text);
    std::size_t head = 0;
    while (head < joined.size() && head < new_units.size() && joined[head].shown == new_units[head].shown) {
        ++head;
    }
    std::size_t tail = 0;
    while (tail < joined.size() - head && tail < new_units.size() - head &&
           joined[joined.size() - 1 - tail].shown == new_units[new_units.size() - 1 - tail].shown) {
        ++tail;
    }
    std::string merged;
    for (std::size_t i = 0; i < head; ++i) {
        merged += joined[i].bytes;
    }
    for (std::size_t i = head; i < new_units.size() - tail; ++i) {
        merged += new_units[i].shown == "\n" ? std::string(line_end) : file_text(new_units[i].shown, ansi);
    }
    for (std::size_t i = joined.size() - tail; i < joined.size(); ++i) {
        merged += joined[i].bytes;
    }
    return merged;
}

// Puts value (as shown) in place of the value on a line that holds a key:
// the characters the old value shares with it at its start and end keep
// their bytes.
void replace_value(EditLine& line, std::string_view value, bool ansi)
{
    const std::string_view visible = visible_part(line.raw);
    const KeyLine key_line = split_key_line(visible);
    const auto offset = [&](std::string_view part) { return static_cast<std::size_t>(part.data() - visible.data()); };
    if (!key_line.value.empty()) {
        const std::string merged = merged_text(key_line.value, value, ansi, "\n");
        line.raw.replace(offset(key_line.value), key_line.value.size(), merged);
        return;
    }
    const std::string_view name = without_line_end(key_line.name);
    const std::size_t after_name = offset(key_line.name) + name.size();
    if (key_line.has_equals) {
        line.raw.insert(after_name + 1, file_text(value, ansi));
    } else {
        line.raw.insert(after_name, "=" + file_text(value, ansi));
    }
}

bool only_blanks(std::string_view text) { return text.find_first_not_of(" \t") == std::string_view::npos; }

}  // namespace

std::string shown_definition_text(const std::string& bytes)
{
    return shown_text(decode_definition_bytes(bytes).text);
}

std::optional<std::string> replace_definition_text(const std::string& bytes, std::string_view shown)
{
    const std::optional<EditText> text = open_text(bytes);
    if (!text) {
        return std::nullopt;
    }
    return encode_definition_text(merged_text(joined_text(*text), shown, text->ansi, line_end_of(*text)),
                                  text->encoding);
}

std::optional<std::string> replace_line(const std::string& bytes, std::uint32_t n,
                                        const std::optional<std::string>& shown)
{
    std::optional<EditText> text = open_text(bytes);
    if (!text || n == 0 || n > text->lines.size()) {
        return std::nullopt;
    }
    std::string& raw = text->lines[n - 1].raw;
    if (!shown) {
        text->lines.erase(line_at(*text, n - 1));
    } else {
        const std::size_t end = raw.find_last_not_of("\r\n") + 1;
        raw = merged_text(std::string_view(raw).substr(0, end), *shown, text->ansi, line_end_of(*text)) +
              raw.substr(end);
    }
    return close_text(*text);
}

ValueParts split_value(std::string_view value)
{
    const std::string text(value);
    const char* end = nullptr;
    read_number(text.c_str(), &end);
    const auto number_end = static_cast<std::size_t>(end - text.c_str());
    const std::string unit = text.substr(std::min(text.find_first_not_of(" \t", number_end), text.size()));
    if (number_end != 0 && (unit.empty() || find_unit(unit) != nullptr)) {
        return {text.substr(0, number_end), unit};
    }
    return {text, ""};
}

std::string compose_value(std::string_view number, std::string_view unit)
{
    if (only_blanks(number)) {
        return std::string();
    }
    return unit.empty() ? std::string(number) : std::string(number) + " " + std::string(unit);
}

std::string convert_number(std::string_view number, std::string_view from_unit, std::string_view to_unit)
{
    const std::string text(number);
    const char* end = nullptr;
    const double value = read_number(text.c_str(), &end);
    if (end == text.c_str() || !only_blanks(end)) {
        return text;
    }
    return formatted("%.6g", value * unit_metres(from_unit) / unit_metres(to_unit));
}

std::optional<std::string> edit_key(const std::string& bytes, unsigned section, std::string_view key_name,
                                     std::string_view value)
{
    std::optional<EditText> text = open_text(bytes);
    if (!text) {
        return std::nullopt;
    }
    const KeyName* key = section < SECTION_COUNT ? find_key(section_keys(section), key_name) : nullptr;
    if (key == nullptr) {
        return bytes;
    }
    const bool clear = only_blanks(value);
    const std::string line_text = std::string(key->name) + "=" + file_text(value, text->ansi);
    const std::optional<Block> block = find_block(*text, section);
    if (!block) {
        if (!clear) {
            add_section(*text, section, {line_text});
        }
        return close_text(*text);
    }
    std::vector<std::size_t> holding;
    std::size_t last_content = block->begin;
    for (std::size_t i = block->begin + 1; i < block->end; ++i) {
        const EditLine& line = text->lines[i];
        const KeyName* named = key_of_line(visible_part(line.raw), line.section, line.continues);
        if (named != nullptr && named->id == key->id) {
            holding.push_back(i);
        }
        if (kind_of(line) == LineKind::key) {
            last_content = i;
        }
    }
    if (clear) {
        for (auto i = holding.rbegin(); i != holding.rend(); ++i) {
            text->lines.erase(line_at(*text, *i));
        }
    } else if (!holding.empty()) {
        replace_value(text->lines[holding.front()], value, text->ansi);
    } else {
        insert_lines(*text, last_content + 1, static_cast<int>(section), {line_text});
    }
    return close_text(*text);
}

std::optional<std::string> rename_other_gear(const std::string& bytes, bool tail)
{
    std::optional<EditText> text = open_text(bytes);
    if (!text) {
        return std::nullopt;
    }
    const std::optional<Block> block = find_block(*text, MAIN_SECTION);
    if (!block) {
        return bytes;
    }
    for (std::size_t i = block->begin + 1; i < block->end; ++i) {
        EditLine& line = text->lines[i];
        const KeyName* named = key_of_line(visible_part(line.raw), line.section, line.continues);
        if (named == nullptr || (named->id != KeyId::other_gear_dist && named->id != KeyId::other_gear_height)) {
            continue;
        }
        const std::string_view visible = visible_part(line.raw);
        const std::string_view name = without_line_end(split_key_line(visible).name);
        const std::string wanted = key_by_id(named->id, !tail).name;
        line.raw.replace(static_cast<std::size_t>(name.data() - visible.data()), name.size(), wanted);
    }
    return close_text(*text);
}

std::optional<std::string> fit_light_sections(const std::string& bytes, unsigned count)
{
    std::optional<EditText> text = open_text(bytes);
    if (!text) {
        return std::nullopt;
    }
    for (unsigned n = SECTION_COUNT - 1; n > count; --n) {
        const std::optional<Block> block = find_block(*text, n);
        if (block && std::all_of(line_at(*text, block->begin + 1), line_at(*text, block->end), is_empty_line)) {
            text->lines.erase(line_at(*text, block->begin), line_at(*text, block->end));
        }
    }
    for (unsigned n = 1; n <= count && n < SECTION_COUNT; ++n) {
        if (!find_block(*text, n)) {
            add_section(*text, n, {});
        }
    }
    return close_text(*text);
}

}  // namespace lumora
