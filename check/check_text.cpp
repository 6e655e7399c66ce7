#include "check/check_text.h"

#include <cstdio>
#include <cstring>

#include "basics/text.h"
#include "definition/keys.h"
#include "lights/light_geometry.h"
#include "platform/platform.h"

namespace lumora {

namespace {

constexpr char CTRL_Z = 0x1A;
constexpr unsigned PIECE_SIZE = 256;  // as the reader's line buffer: 255 characters and the terminator

// The section a header line names, or NO_SECTION for any other text.
int header_section(const std::string& visible)
{
    const std::string header = without_line_end(visible);
    if (equal_ignoring_case(header.c_str(), "[Main]")) {
        return MAIN_SECTION;
    }
    for (int n = 1; n <= static_cast<int>(LIGHT_COUNT_MAX); ++n) {
        char light[16];
        std::snprintf(light, sizeof light, "[Light %d]", n);
        if (equal_ignoring_case(header.c_str(), light)) {
            return n;
        }
    }
    return NO_SECTION;
}

bool starts_with_ignoring_case(const std::string& text, const char* start)
{
    const std::size_t length = std::strlen(start);
    return text.size() >= length && equal_ignoring_case(text.substr(0, length).c_str(), start);
}

// A line that begins with a blank is ignored; it deserves a note when it
// holds more than blanks and a comment.
bool ignored_setting(const std::string& visible)
{
    if (visible.empty() || visible[0] != ' ') {
        return false;
    }
    const std::size_t first = visible.find_first_not_of(" \t\r\n");
    return first != std::string::npos && visible[first] != ';';
}

// The name of the other gear's key of this kind as written in the file.
std::string written_name(const DefinitionText& text, const DefinitionEntry* entry)
{
    const SourceLine* line = entry != nullptr ? source_line(text, entry->line) : nullptr;
    return line != nullptr ? split_setting(line->visible).name : std::string();
}

}  // namespace

DefinitionText read_definition_text(const char* name)
{
    DefinitionText text;
    std::FILE* stream = name != nullptr ? open_file(name, "rb") : nullptr;
    if (stream == nullptr) {
        return text;
    }
    int section = NO_SECTION;
    char piece[PIECE_SIZE];
    while (std::fgets(piece, sizeof piece, stream) != nullptr) {
        SourceLine line{piece, section};
        switch (piece[0]) {
        case '[':
            section = header_section(line.visible);
            line.section = section;
            break;
        case CTRL_Z:
            // Inside a section it ends the section; the lines after it are
            // read outside any.
            section = NO_SECTION;
            break;
        default:
            break;
        }
        text.lines.push_back(line);
    }
    std::fclose(stream);
    return text;
}

const SourceLine* source_line(const DefinitionText& text, std::uint32_t n)
{
    return n >= 1 && n <= text.lines.size() ? &text.lines[n - 1] : nullptr;
}

Setting split_setting(const std::string& visible)
{
    std::size_t start = visible.find_first_not_of(" \t");
    start = start == std::string::npos ? visible.size() : start;
    start = visible.find_first_not_of('=', start);
    start = start == std::string::npos ? visible.size() : start;
    const std::size_t equals = visible.find('=', start);
    Setting setting{};
    setting.has_equals = equals != std::string::npos;
    if (!setting.has_equals) {
        setting.name = visible.substr(start);
        return setting;
    }
    setting.name = visible.substr(start, equals - start);
    std::size_t value = visible.find_first_not_of("\r\n", equals + 1);
    value = value == std::string::npos ? visible.size() : value;
    setting.value = without_line_end(visible.substr(value));
    return setting;
}

std::string without_line_end(const std::string& visible) { return visible.substr(0, visible.find_first_of("\r\n")); }

bool starts_with_byte_order_mark(const DefinitionText& text)
{
    return !text.lines.empty() && text.lines[0].visible.compare(0, 3, "\xEF\xBB\xBF") == 0;
}

std::vector<ValueNote> check_text(const DefinitionText& text, const Definition& definition,
                                     std::uint32_t lines_read)
{
    std::vector<ValueNote> notes;
    const std::uint32_t count = static_cast<std::uint32_t>(text.lines.size());
    const std::uint32_t last = lines_read < count ? lines_read : count;
    // Where the other gear's keys are, a note belongs at the later of the two.
    const DefinitionSection& main = definition.sections[MAIN_SECTION];
    const DefinitionEntry* height = lookup_entry(main, KEY_OTHER_GEAR_HEIGHT);
    const DefinitionEntry* dist = lookup_entry(main, KEY_OTHER_GEAR_DIST);
    const std::string height_name = written_name(text, height);
    const std::string dist_name = written_name(text, dist);
    const bool mixed = height != nullptr && dist != nullptr &&
                       starts_with_ignoring_case(height_name, "Tail") != starts_with_ignoring_case(dist_name, "Tail");
    const std::uint32_t mixed_line = mixed ? (height->line > dist->line ? height->line : dist->line) : 0;

    for (std::uint32_t n = 1; n <= last; ++n) {
        if (ignored_setting(text.lines[n - 1].visible)) {
            notes.push_back({n, "this line begins with a blank, so veska ignores it.",
                             "Remove the blanks at its start if it is meant to count."});
        }
        if (n == mixed_line) {
            const DefinitionEntry* first = height->line < dist->line ? height : dist;
            const std::string& first_name = first == height ? height_name : dist_name;
            const std::string& this_name = first == height ? dist_name : height_name;
            char what[160];
            std::snprintf(what, sizeof what, "%s (line %u) and %s are taken as one gear.", first_name.c_str(),
                          static_cast<unsigned>(first->line), this_name.c_str());
            notes.push_back({n, what,
                             "Name the other gear's keys alike: TailGearHeight and TailGearDist, or NoseGearHeight "
                             "and NoseGearDist."});
        }
    }
    return notes;
}

}  // namespace lumora
