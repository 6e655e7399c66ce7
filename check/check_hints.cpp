#include "check/check_hints.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "basics/number_text.h"
#include "basics/text.h"
#include "definition/keys.h"
#include "lights/light_geometry.h"

namespace lumora {

namespace {

constexpr char SEVERITY_WORDS[4][12] = {"Fatal error", "Error", "Warning", "Info"};

// A whole number as text.
std::string decimal(unsigned long number)
{
    char text[24];
    std::snprintf(text, sizeof text, "%lu", number);
    return text;
}

bool starts_with(const std::string& text, const char* start) { return text.compare(0, std::strlen(start), start) == 0; }

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The text of a message body between start and its line end.
std::string body_text(const std::string& body, std::size_t start)
{
    return start < body.size() ? without_line_end(body.substr(start)) : std::string();
}

// The number behind the last " in line " of a body, 0 when there is none.
std::uint32_t line_in_body(const std::string& body)
{
    const std::size_t at = body.rfind(" in line ");
    return at == std::string::npos ? 0 : static_cast<std::uint32_t>(std::strtoul(body.c_str() + at + 9, nullptr, 10));
}

const KeyName* key_table(int section) { return section == MAIN_SECTION ? main_keys : light_keys; }

const KeyName* find_key(const KeyName* table, const std::string& name)
{
    for (const KeyName* key = table; key->id != 0; ++key) {
        if (equal_ignoring_case(name.c_str(), key->name)) {
            return key;
        }
    }
    return nullptr;
}

std::string key_list(const KeyName* table)
{
    std::string list;
    for (const KeyName* key = table; key->id != 0; ++key) {
        list += list.empty() ? "" : ", ";
        list += key->name;
    }
    return list;
}

// The key whose name is nearest to name; the first of equals.
const KeyName* nearest_key(const KeyName* table, const std::string& name)
{
    const KeyName* nearest = table;
    unsigned best = edit_distance(name, table->name);
    for (const KeyName* key = table + 1; key->id != 0; ++key) {
        const unsigned distance = edit_distance(name, key->name);
        if (distance < best) {
            best = distance;
            nearest = key;
        }
    }
    return nearest;
}

std::string section_title(int section)
{
    return section == MAIN_SECTION ? std::string("[Main]")
                                   : "[Light " + decimal(static_cast<unsigned long>(section)) + "]";
}

// "in, ft, cm and m", from the table of units.
std::string unit_list()
{
    std::string list;
    for (unsigned i = 0; i < LENGTH_UNIT_COUNT; ++i) {
        list += i == 0 ? "" : i + 1 == LENGTH_UNIT_COUNT ? " and " : ", ";
        list += length_units[i].suffix;
    }
    return list;
}

// A value cut as the number readers cut it: the number's own text and what
// follows it, blanks and tabs skipped.
struct NumberText {
    std::string number;
    std::string rest;
};

NumberText split_number(const std::string& value)
{
    const char* text = value.c_str();
    const char* end = nullptr;
    read_number(text, &end);
    const std::size_t used = static_cast<std::size_t>(end - text);
    std::size_t rest = used;
    while (rest < value.size() && (value[rest] == ' ' || value[rest] == '\t')) {
        ++rest;
    }
    return {trimmed(value.substr(0, used)), value.substr(rest)};
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A decimal comma: the number stops at a comma that a digit follows.
bool decimal_comma(const NumberText& number)
{
    return !number.number.empty() && number.rest.size() >= 2 && number.rest[0] == ',' && is_digit(number.rest[1]);
}

std::string with_decimal_point(const NumberText& number) { return number.number + "." + number.rest.substr(1); }

// The unit a common word for one stands for, or empty.
std::string unit_for_word(const std::string& word)
{
    const char* const words[][2] = {
        {"metre", "m"}, {"metres", "m"}, {"meter", "m"}, {"meters", "m"}, {"mtr", "m"},
        {"foot", "ft"}, {"feet", "ft"}, {"'", "ft"},  {"inch", "in"},  {"inches", "in"},
        {"\"", "in"},   {"centimetre", "cm"}, {"centimetres", "cm"}, {"centimeter", "cm"}, {"centimeters", "cm"},
    };
    std::string plain = trimmed(word);
    if (!plain.empty() && plain.back() == '.') {
        plain.pop_back();
    }
    for (const auto& entry : words) {
        if (equal_ignoring_case(plain.c_str(), entry[0])) {
            return entry[1];
        }
    }
    return std::string();
}

bool is_degrees_word(const std::string& word)
{
    const std::string plain = trimmed(word);
    return equal_ignoring_case(plain.c_str(), "deg") || equal_ignoring_case(plain.c_str(), "deg.") ||
           equal_ignoring_case(plain.c_str(), "degree") || equal_ignoring_case(plain.c_str(), "degrees") ||
           plain == "\xC2\xB0";
}

bool is_header_line(const SourceLine& line) { return !line.visible.empty() && line.visible[0] == '['; }

// The highest n of the [Light n] headers in the file, 0 when it has none.
int light_sections_in_file(const DefinitionText& text)
{
    int highest = 0;
    for (const SourceLine& line : text.lines) {
        if (is_header_line(line) && line.section > highest) {
            highest = line.section;
        }
    }
    return highest;
}

// "TailGear" or "NoseGear" as the file names the other gear, or empty.
std::string other_gear_word(const CheckContext& context)
{
    const DefinitionSection& main = context.definition.sections[MAIN_SECTION];
    for (const KeyId id : {KEY_OTHER_GEAR_HEIGHT, KEY_OTHER_GEAR_DIST}) {
        const DefinitionEntry* entry = lookup_entry(main, id);
        const SourceLine* line = entry != nullptr ? source_line(context.text, entry->line) : nullptr;
        if (line != nullptr) {
            const std::string name = trimmed(split_setting(line->visible).name);
            return equal_ignoring_case(name.substr(0, 4).c_str(), "Nose") ? "NoseGear" : "TailGear";
        }
    }
    return std::string();
}

int section_of(const CheckContext& context, std::uint32_t line)
{
    const SourceLine* source = source_line(context.text, line);
    return source != nullptr ? source->section : NO_SECTION;
}

std::string hint_no_value(const CheckContext& context, std::uint32_t line)
{
    const SourceLine* source = source_line(context.text, line);
    if (source == nullptr) {
        return "Give the setting a value after the =, or delete the line.";
    }
    const Setting setting = split_setting(source->visible);
    if (setting.has_equals) {
        const std::string name = trimmed(setting.name);
        return name.empty() ? "Write the line as name=value, or delete it."
                            : "Give " + name + " a value after the =, or delete the line.";
    }
    const std::string text = trimmed(without_line_end(source->visible));
    if (!text.empty() && text[0] == '[') {
        return "A header must begin its line: remove what stands before " + text + ".";
    }
    const std::size_t word_end = text.find_first_of(" \t");
    const std::string word = text.substr(0, word_end);
    const std::string rest = word_end == std::string::npos ? std::string() : trimmed(text.substr(word_end));
    const KeyName* key = find_key(key_table(source->section), word);
    if (key != nullptr && !rest.empty()) {
        return std::string("Put = between name and value: ") + key->name + "=" + rest + ".";
    }
    return std::string("A setting is written name=value, e.g. ") +
           (source->section == MAIN_SECTION ? "Lights=1" : "Direction=10") + "; a comment begins with ;.";
}

std::string hint_unknown_name(const CheckContext& context, std::uint32_t line, const std::string& name)
{
    const int section = section_of(context, line);
    const KeyName* table = key_table(section);
    const std::string plain = trimmed(name);
    const KeyName* key = find_key(table, plain);
    if (key != nullptr) {
        const SourceLine* source = source_line(context.text, line);
        const std::string value = source != nullptr ? trimmed(split_setting(source->visible).value) : std::string();
        return std::string("Remove the blanks around the =: write ") + key->name + "=" + value + ".";
    }
    const KeyName* other = find_key(section == MAIN_SECTION ? light_keys : main_keys, plain);
    if (other != nullptr) {
        return section == MAIN_SECTION
                   ? std::string(other->name) + " belongs in a [Light n] section, not in [Main]."
                   : std::string(other->name) + " belongs in [Main], not in " + section_title(section) + ".";
    }
    return std::string("Did you mean ") + nearest_key(table, plain)->name + "? Names here: " + key_list(table) + ".";
}

std::string hint_duplicate(const CheckContext& context, std::uint32_t line, const std::string& name)
{
    const int section = section_of(context, line);
    const KeyName* key = section == NO_SECTION ? nullptr : find_key(key_table(section), name);
    const DefinitionEntry* first =
        key != nullptr ? lookup_entry(context.definition.sections[section], key->id) : nullptr;
    if (first == nullptr) {
        return "Delete one of the two lines that set " + name + ".";
    }
    const SourceLine* source = source_line(context.text, first->line);
    const std::string first_name = source != nullptr ? trimmed(split_setting(source->visible).name) : name;
    const std::string at = decimal(first->line);
    if (!equal_ignoring_case(first_name.c_str(), name.c_str())) {
        return first_name + " in line " + at + " already set this: keep TailGear... or NoseGear... keys, not both.";
    }
    return "Already set in line " + at + ", and veska uses that one: delete one of the two lines.";
}

std::string hint_repeated_section(const CheckContext& context, std::uint32_t line)
{
    const int section = section_of(context, line);
    for (std::uint32_t n = 1; n < line; ++n) {
        const SourceLine& source = context.text.lines[n - 1];
        if (is_header_line(source) && source.section == section) {
            return "The first " + section_title(section) + " is in line " + decimal(n) +
                   "; veska skips this one: move its lines there.";
        }
    }
    return "veska skips this section: merge it with the first one of the same name.";
}

std::string lights_suggestion(const CheckContext& context)
{
    const int sections = light_sections_in_file(context.text);
    return sections >= 1 ? "Lights=" + decimal(static_cast<unsigned long>(sections)) : std::string("Lights=1");
}

std::string hint_missing_gear(const CheckContext& context)
{
    const DefinitionSection& main = context.definition.sections[MAIN_SECTION];
    const std::string other = other_gear_word(context);
    const struct {
        KeyId id;
        std::string name;
    } gear[] = {
        {KEY_MAIN_GEAR_HEIGHT, "MainGearHeight"},
        {KEY_MAIN_GEAR_DIST, "MainGearDist"},
        {KEY_OTHER_GEAR_HEIGHT, other.empty() ? "TailGearHeight (or NoseGearHeight)" : other + "Height"},
        {KEY_OTHER_GEAR_DIST, other.empty() ? "TailGearDist (or NoseGearDist)" : other + "Dist"},
    };
    std::string missing;
    unsigned count = 0;
    for (const auto& key : gear) {
        if (lookup_entry(main, key.id) == nullptr) {
            missing += missing.empty() ? "" : ", ";
            missing += key.name;
            ++count;
        }
    }
    if (count == 4) {
        return "For the ground pitch add MainGearHeight, MainGearDist, TailGearHeight and TailGearDist (or "
               "NoseGear...).";
    }
    return "Missing: " + missing + "; add " + (count == 1 ? "it" : "them") + " for the ground pitch.";
}

std::string hint_gear_distance(const CheckContext& context)
{
    const GroundGeometry& ground = context.definition.ground;
    const std::string other = other_gear_word(context);
    char text[240];
    std::snprintf(text, sizeof text,
                  "MainGearDist (%g m) and %sDist (%g m) must differ: they place the two gears along the aircraft.",
                  ground.main_gear_dist, other.empty() ? "TailGear" : other.c_str(), ground.other_gear_dist);
    return text;
}

// The first line is a header behind the byte-order mark.
bool header_after_mark(const DefinitionText& text)
{
    return starts_with_byte_order_mark(text) && text.lines[0].visible.size() > 3 && text.lines[0].visible[3] == '[';
}

std::string hint_main_first(const CheckContext& context)
{
    if (starts_with_byte_order_mark(context.text) && header_after_mark(context.text)) {
        return "The [Main] header in line 1 is not read because of the byte-order mark: see line 1.";
    }
    for (const SourceLine& line : context.text.lines) {
        if (is_header_line(line) && line.section == MAIN_SECTION) {
            return "Move [Main] and its lines above the first [Light n] section.";
        }
    }
    return "Add a [Main] section with Lights= at the top of the file.";
}

std::string hint_surplus_section(const CheckContext& context, std::uint32_t line, const std::string& body)
{
    const std::size_t at = body.find("Lights=");
    const unsigned long lights = at == std::string::npos ? 0 : std::strtoul(body.c_str() + at + 7, nullptr, 10);
    if (lights == 0) {
        return "Put [Main] with Lights= at the top of the file, before the light sections.";
    }
    const int section = section_of(context, line);
    return "veska ignores this section: raise Lights to " + decimal(static_cast<unsigned long>(section)) +
           ", or delete the section.";
}

constexpr int NO_SUCH_LIGHT = 99;

// "[Light1]" or "[ light 1 ]" as the section they mean: NO_SUCH_LIGHT for a
// light number other than 1 to 3, -1 for anything else.
int meant_section(const std::string& inside)
{
    std::string plain;
    for (const char c : inside) {
        if (c != ' ' && c != '\t') {
            plain += ascii_lower(c);
        }
    }
    if (plain == "main") {
        return MAIN_SECTION;
    }
    if (plain.compare(0, 5, "light") == 0 && plain.size() > 5 && plain.find_first_not_of("0123456789", 5) ==
                                                                      std::string::npos) {
        const long number = std::strtol(plain.c_str() + 5, nullptr, 10);
        return number >= 1 && number <= static_cast<long>(LIGHT_COUNT_MAX) ? static_cast<int>(number) : NO_SUCH_LIGHT;
    }
    return -1;
}

std::string hint_header(const std::string& header)
{
    const char* const stops = "; veska reads no further.";
    const std::size_t close = header.find(']');
    const int meant = close == std::string::npos ? -1 : meant_section(header.substr(1, close - 1));
    if (meant == NO_SUCH_LIGHT) {
        return std::string("There are only [Light 1] to [Light 3]") + stops;
    }
    if (meant < 0) {
        return std::string("The headers are [Main], [Light 1], [Light 2] and [Light 3]") + stops;
    }
    const std::string after = trimmed(header.substr(close + 1));
    if (after.empty()) {
        return "Write the header exactly " + section_title(meant) + stops;
    }
    if (after[0] == ';') {
        return "Write the line as " + section_title(meant) + " alone, the comment on a line of its own" + stops;
    }
    return "Write the line as " + section_title(meant) + " alone" + stops;
}

std::string hint_outside(const CheckContext& context, std::uint32_t line)
{
    const SourceLine* source = source_line(context.text, line);
    if (source == nullptr) {
        return "Start the line with ; to make it a comment.";
    }
    const std::string& visible = source->visible;
    if (line == 1 && starts_with_byte_order_mark(context.text)) {
        return "The file begins with an invisible byte-order mark: save it as ANSI, or as UTF-8 without BOM.";
    }
    if (line == 1 && (starts_with(visible, "\xFF\xFE") || starts_with(visible, "\xFE\xFF"))) {
        return "The file is saved as UTF-16 (Unicode): save it as ANSI, or as UTF-8 without BOM.";
    }
    const std::string text = trimmed(without_line_end(visible));
    if (!text.empty() && text[0] == '[') {
        return "A header must begin its line: remove what stands before " + text + ".";
    }
    if (text.find('=') != std::string::npos) {
        if (starts_with_byte_order_mark(context.text)) {
            return "It stands outside any section because the header in line 1 is not read: see line 1.";
        }
        return "Settings belong under a section header: put it below [Main] or [Light n].";
    }
    return "Start the line with ; to make it a comment.";
}

std::string hint_no_unit(const CheckContext& context, std::uint32_t line)
{
    const SourceLine* source = source_line(context.text, line);
    if (source == nullptr) {
        return "Write the number alone.";
    }
    const Setting setting = split_setting(source->visible);
    const std::string name = trimmed(setting.name);
    const NumberText number = split_number(setting.value);
    if (number.number.empty()) {
        return name + " takes a number: e.g. " + name + "=" +
               (equal_ignoring_case(name.c_str(), "Direction") ? "10" : "1") + ".";
    }
    if (!number.rest.empty() && number.rest[0] == ';') {
        return "Move the comment \"" + number.rest + "\" to a line of its own: write " + name + "=" + number.number +
               ".";
    }
    if (decimal_comma(number)) {
        return "Use a decimal point: " + name + "=" + with_decimal_point(number) + " (veska reads " + number.number +
               ").";
    }
    if (equal_ignoring_case(name.c_str(), "Direction")) {
        return "Direction is in degrees, without a unit: write Direction=" + number.number + ".";
    }
    return "Write the number alone: " + name + "=" + number.number + ".";
}

std::string hint_unit(const CheckContext& context, std::uint32_t line)
{
    const SourceLine* source = source_line(context.text, line);
    const std::string units = "Units are " + unit_list() + " (none: metres)";
    if (source == nullptr) {
        return units + ".";
    }
    const Setting setting = split_setting(source->visible);
    const std::string name = trimmed(setting.name);
    const NumberText number = split_number(setting.value);
    if (number.number.empty()) {
        return name + " takes a number, with or without a unit: e.g. " + name + "=2. " + units + ".";
    }
    if (!number.rest.empty() && number.rest[0] == ';') {
        return "Move the comment \"" + number.rest + "\" to a line of its own: write " + name + "=" + number.number +
               ".";
    }
    if (decimal_comma(number)) {
        return "Use a decimal point: " + name + "=" + with_decimal_point(number) + ".";
    }
    if (equal_ignoring_case(name.c_str(), "Pitch") && is_degrees_word(number.rest)) {
        return "Pitch is in degrees, without a unit: write Pitch=" + number.number + ".";
    }
    const std::string unit = unit_for_word(number.rest);
    return units + ": write " + name + "=" + number.number + " " + (unit.empty() ? "m" : unit) + ".";
}

std::string hint_geometry(const CheckContext& context, unsigned light)
{
    if (light >= 1 && light <= LIGHT_COUNT_MAX) {
        Diagnostics silent{Console{nullptr}, nullptr, 0, 0};
        const double range = get_number_with_unit(silent, context.definition.sections[light], KEY_MAX_RANGE, 30.0);
        if (range == 0.0) {
            return "MaxRange is 0: give the distance ahead where the beam meets the ground, e.g. MaxRange=30.";
        }
    }
    return "Check Pitch, MaxRange and ZOffset of this light: numbers that aim the beam at the ground.";
}

}  // namespace

unsigned edit_distance(const std::string& a, const std::string& b)
{
    std::vector<unsigned> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = static_cast<unsigned>(j);
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        unsigned diagonal = row[0];
        row[0] = static_cast<unsigned>(i);
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const unsigned substitution = diagonal + (ascii_lower(a[i - 1]) == ascii_lower(b[j - 1]) ? 0 : 1);
            diagonal = row[j];
            const unsigned insertion = row[j - 1] + 1;
            const unsigned deletion = row[j] + 1;
            row[j] = substitution < insertion ? substitution : insertion;
            row[j] = deletion < row[j] ? deletion : row[j];
        }
    }
    return row[b.size()];
}

MessageParts message_parts(const char* definition_name, const std::string& message)
{
    const std::string name = definition_name != nullptr ? definition_name : "";
    for (const char* word : SEVERITY_WORDS) {
        const std::string prefix = std::string(word) + " in " + name;
        if (!starts_with(message, prefix.c_str())) {
            continue;
        }
        std::size_t at = prefix.size();
        std::uint32_t line = 0;
        if (message.compare(at, 7, ", line ") == 0) {
            char* end = nullptr;
            line = static_cast<std::uint32_t>(std::strtoul(message.c_str() + at + 7, &end, 10));
            at = static_cast<std::size_t>(end - message.c_str());
        }
        if (message.compare(at, 2, ": ") == 0) {
            return {word, line, message.substr(at + 2)};
        }
    }
    return {std::string(), 0, message};
}

std::vector<std::string> message_hints(const CheckContext& context, const std::string& message)
{
    const MessageParts parts = message_parts(context.definition_name, message);
    const std::string& body = parts.body;
    std::string hint;
    if (parts.severity.empty()) {
        if (starts_with(body, "Error opening definition file ")) {
            hint = "Check the file's name and folder, and that it may be read.";
        } else if (starts_with(body, "Error reading definition file ")) {
            hint = "The file could not be read to its end: copy it again, or check the disk.";
        }
    } else if (starts_with(body, "Name=") && body.find(", NO VALUE given.") != std::string::npos) {
        hint = hint_no_value(context, parts.line);
    } else if (starts_with(body, "Unrecognised name=")) {
        hint = hint_unknown_name(context, parts.line, body_text(body, 18));
    } else if (starts_with(body, "Duplicate definition: Name=")) {
        hint = hint_duplicate(context, parts.line, body_text(body, 27));
    } else if (starts_with(body, "Section ") && body.find(" defined already.") != std::string::npos) {
        hint = hint_repeated_section(context, parts.line);
    } else if (starts_with(body, "Required parameter \"Lights=n\"")) {
        hint = "Add " + lights_suggestion(context) + " under [Main]: the number of [Light n] sections, 1 to 3.";
    } else if (starts_with(body, "Invalid number of lights in line ")) {
        hint = "Lights is the number of [Light n] sections: write " + lights_suggestion(context) + " (1, 2 or 3).";
    } else if (starts_with(body, "Invalid number of lights: ")) {
        hint = "Add a [Main] section with Lights=1, 2 or 3 at the top of the file.";
    } else if (starts_with(body, "Not all gear positions/heights specified")) {
        hint = hint_missing_gear(context);
    } else if (starts_with(body, "Gear distance too small")) {
        hint = hint_gear_distance(context);
    } else if (starts_with(body, "[Light ") && body.find("] not specified in definition file.") != std::string::npos) {
        const unsigned light = static_cast<unsigned>(std::strtoul(body.c_str() + 7, nullptr, 10));
        hint = "Lights=" + decimal(context.definition.light_count) + " asks for a [Light " +
               decimal(light) + "] section: add it, or lower Lights.";
    } else if (starts_with(body, "[Light ") && body.find("]: beam geometry cannot be computed") != std::string::npos) {
        hint = hint_geometry(context, static_cast<unsigned>(std::strtoul(body.c_str() + 7, nullptr, 10)));
    } else if (starts_with(body, "[Main] section must be specified first.")) {
        hint = hint_main_first(context);
    } else if (starts_with(body, "This section is not expected as")) {
        hint = hint_surplus_section(context, parts.line, body);
    } else if (starts_with(body, "Unrecognised section: ")) {
        hint = hint_header(body_text(body, 22));
    } else if (starts_with(body, "Unrecognised: ")) {
        hint = hint_outside(context, parts.line);
    } else if (starts_with(body, "No unit of measurement expected in line ")) {
        hint = hint_no_unit(context, line_in_body(body));
    } else if (starts_with(body, "Invalid unit of measurement specification '")) {
        hint = hint_unit(context, line_in_body(body));
    }
    if (hint.empty()) {
        return {};
    }
    return {hint};
}

}  // namespace lumora
