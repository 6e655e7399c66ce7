#include "check/check_fixes.h"

#include "basics/number_text.h"
#include "basics/text.h"
#include "basics/windows_1252.h"
#include "check/check_hints.h"
#include "definition/keys.h"
#include "definition/reader.h"

namespace lumora {

namespace {

// A misspelt name is one this near to a key's.
constexpr unsigned MISSPELLING_DISTANCE_MAX = 2;

// The line's text as shown, without its line end, and where its key line's
// name and value lie in it.
struct LineParts {
    std::string text;
    std::size_t name_at;
    std::string name;   // as written, blanks and all
    std::size_t value_at;
    std::string value;
};

LineParts line_parts(const SourceLine& source)
{
    const std::string text = shown_text(without_line_end(source.raw));
    const KeyLine key_line = split_key_line(text);
    return {text, static_cast<std::size_t>(key_line.name.data() - text.data()), std::string(key_line.name),
            static_cast<std::size_t>(key_line.value.data() - text.data()), std::string(key_line.value)};
}

std::optional<MessageFix> fix_name(const SourceLine& source)
{
    const LineParts parts = line_parts(source);
    const KeyTable table = section_keys(static_cast<unsigned>(source.section));
    const std::string name = trimmed(parts.name);
    if (name.empty()) {
        return std::nullopt;
    }
    const std::size_t name_at = parts.name_at + parts.name.find(name);
    if (find_key(table, name) != nullptr) {
        // "Lights = 1": the name and value without the blanks around the =.
        const std::size_t value_start = parts.value.find_first_not_of(" \t");
        const std::string value = value_start == std::string::npos ? std::string() : parts.value.substr(value_start);
        return MessageFix{"Fix: remove the blanks around the =", source.number,
                          parts.text.substr(0, name_at) + name + "=" + value};
    }
    unsigned distance = 0;
    const KeyName& nearest = nearest_key(table, name, &distance);
    if (distance > MISSPELLING_DISTANCE_MAX || find_key(other_section_keys(static_cast<unsigned>(source.section)), name)) {
        return std::nullopt;
    }
    std::string text = parts.text;
    text.replace(name_at, name.size(), nearest.name);
    return MessageFix{"Fix: rename " + name + " to " + nearest.name, source.number, text};
}

// A value with a comment, a decimal comma or a unit word behind its number.
std::optional<MessageFix> fix_value(const SourceLine& source)
{
    const LineParts parts = line_parts(source);
    const char* start = parts.value.c_str();
    const char* end = nullptr;
    read_number(start, &end);
    const auto number_end = static_cast<std::size_t>(end - start);
    if (number_end == 0) {
        return std::nullopt;
    }
    const std::size_t rest_at = parts.value.find_first_not_of(" \t", number_end);
    if (rest_at == std::string::npos) {
        return std::nullopt;
    }
    const std::string rest = parts.value.substr(rest_at);
    const std::size_t value_at = parts.value_at;
    const std::size_t comment = parts.value.find(';');
    if (comment != std::string::npos) {
        // The comment on a line of its own above the setting.
        const std::string setting = parts.text.substr(0, value_at + comment);
        return MessageFix{"Fix: move the comment onto its own line", source.number,
                          parts.value.substr(comment) + "\n" + setting.substr(0, setting.find_last_not_of(" \t") + 1)};
    }
    if (rest.size() >= 2 && rest[0] == ',' && rest[1] >= '0' && rest[1] <= '9' && rest_at == number_end) {
        std::string text = parts.text;
        text[value_at + rest_at] = '.';
        return MessageFix{"Fix: use a decimal point instead of the comma", source.number, text};
    }
    const std::string unit = unit_for_word(rest);
    if (!unit.empty()) {
        std::string text = parts.text;
        text.replace(value_at + rest_at, rest.size(), unit);
        return MessageFix{"Fix: write the unit " + trimmed(rest) + " as " + unit, source.number, text};
    }
    return std::nullopt;
}

// "[Light1]", "[ main ]": the header it means, written as the reader reads it.
std::optional<MessageFix> fix_header(const SourceLine& source)
{
    const std::string text = shown_text(without_line_end(source.raw));
    if (text.size() < 2 || text.front() != '[' || text.back() != ']') {
        return std::nullopt;
    }
    const std::string inside = squeezed(text);
    for (unsigned section = 0; section < SECTION_COUNT; ++section) {
        const std::string header = section_header(section);
        if (squeezed(header) == inside) {
            return MessageFix{"Fix: write the header as " + header, source.number, header};
        }
    }
    return std::nullopt;
}

// A key set twice: the earlier line, the one veska uses, goes; the later
// one, the newer edit, stays.
std::optional<MessageFix> fix_duplicate(const Definition& definition, const SourceLine& source)
{
    const KeyName* key = key_of_line(source.visible, source.section, source.continues != 0);
    const DefinitionEntry* first =
        key != nullptr ? lookup_entry(definition.sections[static_cast<unsigned>(source.section)], key->id) : nullptr;
    if (first == nullptr || first->line >= source.number) {
        return std::nullopt;
    }
    // Named as that line writes it: the other gear's keys have two names.
    const std::string name = trimmed(written_name(definition, first));
    return MessageFix{"Fix: remove line " + std::to_string(first->line) + ", the earlier " + shown_text(name),
                      first->line, std::nullopt};
}

}  // namespace

std::optional<MessageFix> message_fix(const Definition& definition, const Message& message)
{
    if (message.line == 0) {
        return std::nullopt;
    }
    const SourceLine source = definition.lines.line(message.line);
    if (source.number == 0 || source.continues != 0) {
        return std::nullopt;
    }
    switch (message.id) {
    case MessageId::unrecognised_name:
        return source.section == NO_SECTION ? std::nullopt : fix_name(source);
    case MessageId::no_unit_expected:
    case MessageId::invalid_unit:
        return fix_value(source);
    case MessageId::unrecognised_section:
        return fix_header(source);
    case MessageId::duplicate_definition:
        return fix_duplicate(definition, source);
    default:
        return std::nullopt;
    }
}

}  // namespace lumora
