#include "check/check_hints.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

#include "basics/formatted.h"
#include "basics/number_text.h"
#include "basics/text.h"
#include "definition/keys.h"
#include "lights/light_geometry.h"

namespace lumora {

namespace {

KeyTable key_table(int section) { return section_keys(static_cast<unsigned>(section)); }

std::string key_list(const KeyTable& table)
{
    std::string list;
    for (const KeyName& key : table) {
        list += list.empty() ? "" : ", ";
        list += key.name;
    }
    return list;
}

// The case-insensitive edit distance between two names.
unsigned edit_distance(const std::string& a, const std::string& b)
{
    std::vector<unsigned> row(b.size() + 1);
    std::iota(row.begin(), row.end(), 0u);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        unsigned diagonal = row[0];
        row[0] = static_cast<unsigned>(i);
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const unsigned above = row[j];
            const unsigned substitution = diagonal + (ascii_lower(a[i - 1]) == ascii_lower(b[j - 1]) ? 0 : 1);
            row[j] = std::min({substitution, row[j - 1] + 1, above + 1});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// Names far longer than any key are no misspelt key: their distance to the
// nearest is not worth its time.
constexpr std::size_t NAME_COMPARED_MAX = 64;

}  // namespace

const KeyName& nearest_key(const KeyTable& table, const std::string& name, unsigned* distance)
{
    const std::string compared = name.substr(0, NAME_COMPARED_MAX);
    const KeyName* nearest = table.begin();
    unsigned best = edit_distance(compared, nearest->name);
    for (const KeyName& key : table) {
        const unsigned this_distance = edit_distance(compared, key.name);
        if (this_distance < best) {
            best = this_distance;
            nearest = &key;
        }
    }
    if (distance != nullptr) {
        *distance = best;
    }
    return *nearest;
}

std::string written_name(const Definition& definition, const DefinitionEntry* entry)
{
    return entry != nullptr ? std::string(split_key_line(definition.lines.line(entry->line).visible).name)
                            : std::string();
}

std::string squeezed(std::string_view text)
{
    std::string plain;
    for (const char c : text) {
        if (c != ' ' && c != '\t') {
            plain += ascii_lower(c);
        }
    }
    return plain;
}

namespace {

std::string section_title(int section) { return section_header(static_cast<unsigned>(section)); }

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
    const std::size_t rest = std::min(value.find_first_not_of(" \t", used), value.size());
    return {trimmed(std::string_view(value).substr(0, used)), value.substr(rest)};
}

}  // namespace

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
        if (equal_ignoring_case(plain, entry[0])) {
            return entry[1];
        }
    }
    return std::string();
}

namespace {

bool is_degrees_word(const std::string& word)
{
    const std::string plain = trimmed(word);
    return equal_ignoring_case(plain, "deg") || equal_ignoring_case(plain, "deg.") ||
           equal_ignoring_case(plain, "degree") || equal_ignoring_case(plain, "degrees") || plain == "\xC2\xB0";
}

// "TailGear" or "NoseGear" as the file names the other gear, or empty.
std::string other_gear_word(const CheckContext& context)
{
    const DefinitionSection& main = context.definition.sections[MAIN_SECTION];
    for (const KeyId id : {KeyId::other_gear_height, KeyId::other_gear_dist}) {
        const DefinitionEntry* entry = lookup_entry(main, id);
        if (entry != nullptr) {
            const bool nose = names_nose_gear(written_name(context.definition, entry));
            const std::string name = key_by_id(id, nose).name;
            return name.substr(0, name.size() - (id == KeyId::other_gear_dist ? 4 : 6));
        }
    }
    return std::string();
}

// A line that gives no value: in a section (no_value), or outside any
// section (unrecognised_line).
std::string hint_no_setting(const SourceLine& source, bool outside)
{
    const KeyLine key_line = split_key_line(source.visible);
    if (!outside && key_line.has_equals) {
        const std::string name = trimmed(key_line.name);
        return name.empty() ? "Write the line as name=value, or delete it."
                            : "Give " + name + " a value after the =, or delete the line.";
    }
    const std::string text = trimmed(without_line_end(source.visible));
    if (!text.empty() && text[0] == '[') {
        return "A header must begin its line: remove what stands before " + text + ".";
    }
    if (outside) {
        return text.find('=') != std::string::npos
                   ? "Settings belong under a section header: put it below [Main] or [Light n]."
                   : "Start the line with ; to make it a comment.";
    }
    const std::size_t word_end = text.find_first_of(" \t");
    const std::string word = text.substr(0, word_end);
    const std::string rest = word_end == std::string::npos ? std::string() : trimmed(text.substr(word_end));
    const KeyName* key = find_key(key_table(source.section), word);
    if (key != nullptr && !rest.empty()) {
        return std::string("Put = between name and value: ") + key->name + "=" + rest + ".";
    }
    return std::string("A setting is written name=value, e.g. ") +
           (source.section == static_cast<int>(MAIN_SECTION) ? "Lights=1" : "Direction=10") +
           "; a comment begins with ;.";
}

std::string hint_unknown_name(const SourceLine& source, std::string_view name)
{
    const KeyTable table = key_table(source.section);
    const std::string plain = trimmed(name);
    const KeyName* key = find_key(table, plain);
    if (key != nullptr) {
        const std::string value = trimmed(split_key_line(source.visible).value);
        return std::string("Remove the blanks around the =: write ") + key->name + "=" + value + ".";
    }
    const KeyName* other = find_key(other_section_keys(static_cast<unsigned>(source.section)), plain);
    if (other != nullptr) {
        return source.section == static_cast<int>(MAIN_SECTION)
                   ? std::string(other->name) + " belongs in a [Light n] section, not in [Main]."
                   : std::string(other->name) + " belongs in [Main], not in " + section_title(source.section) + ".";
    }
    return std::string("Did you mean ") + nearest_key(table, plain).name + "? Names here: " + key_list(table) + ".";
}

std::string hint_duplicate(const CheckContext& context, int section, std::string_view name)
{
    const KeyName* key = section == NO_SECTION ? nullptr : find_key(key_table(section), name);
    const DefinitionEntry* first =
        key != nullptr ? lookup_entry(context.definition.sections[static_cast<unsigned>(section)], key->id) : nullptr;
    if (first == nullptr) {
        return "Delete one of the two lines that set " + std::string(name) + ".";
    }
    const std::string first_name = trimmed(written_name(context.definition, first));
    const std::string at = std::to_string(first->line);
    if (!equal_ignoring_case(first_name, name)) {
        return first_name + " in line " + at + " already set this: keep TailGear... or NoseGear... keys, not both.";
    }
    return "Already set in line " + at + ", and veska uses that one: delete one of the two lines.";
}

std::string hint_repeated_section(const CheckContext& context, const SourceLine& source)
{
    if (source.section != NO_SECTION) {
        const std::uint32_t first = context.definition.sections[static_cast<unsigned>(source.section)].header_line;
        if (first != 0 && first < source.number) {
            return "The first " + section_title(source.section) + " is in line " + std::to_string(first) +
                   "; veska skips this one: move its lines there.";
        }
    }
    return "veska skips this section: merge it with the first one of the same name.";
}

std::string lights_suggestion(const FileFacts& facts)
{
    return "Lights=" + std::to_string(std::max(facts.highest_light_section, 1));
}

std::string hint_missing_gear(const CheckContext& context)
{
    const DefinitionSection& main = context.definition.sections[MAIN_SECTION];
    const std::string other = other_gear_word(context);
    const struct {
        KeyId id;
        std::string name;
    } gear[] = {
        {KeyId::main_gear_height, key_by_id(KeyId::main_gear_height).name},
        {KeyId::main_gear_dist, key_by_id(KeyId::main_gear_dist).name},
        {KeyId::other_gear_height, other.empty() ? "TailGearHeight (or NoseGearHeight)" : other + "Height"},
        {KeyId::other_gear_dist, other.empty() ? "TailGearDist (or NoseGearDist)" : other + "Dist"},
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
    return formatted("MainGearDist (%g m) and %sDist (%g m) must differ: they place the two gears along the aircraft.",
                     ground.main_gear_dist, other.empty() ? "TailGear" : other.c_str(), ground.other_gear_dist);
}

constexpr int NO_SUCH_LIGHT = 99;

// "[Light1]" or "[ light 1 ]" as the section they mean: NO_SUCH_LIGHT for a
// light number other than 1 to 3, -1 for anything else.
int meant_section(const std::string& inside)
{
    const std::string plain = squeezed(inside);
    if (plain == "main") {
        return static_cast<int>(MAIN_SECTION);
    }
    if (plain.compare(0, 5, "light") == 0 && plain.size() > 5 &&
        plain.find_first_not_of("0123456789", 5) == std::string::npos) {
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
    const std::string after = trimmed(std::string_view(header).substr(close + 1));
    if (after.empty()) {
        return "Write the header exactly " + section_title(meant) + stops;
    }
    if (after[0] == ';') {
        return "Write the line as " + section_title(meant) + " alone, the comment on a line of its own" + stops;
    }
    return "Write the line as " + section_title(meant) + " alone" + stops;
}

// A value that is no plain number: of a key that takes none (Direction and
// the counts), or of a length, which takes a unit.
std::string hint_value(const SourceLine& source, bool takes_unit)
{
    const KeyLine key_line = split_key_line(source.visible);
    const std::string units = "Units are " + unit_list() + " (none: metres)";
    const std::string name = trimmed(key_line.name);
    const NumberText number = split_number(std::string(key_line.value));
    if (number.number.empty()) {
        return takes_unit ? name + " takes a number, with or without a unit: e.g. " + name + "=2. " + units + "."
                          : name + " takes a number: e.g. " + name + "=" +
                                (equal_ignoring_case(name, "Direction") ? "10" : "1") + ".";
    }
    if (!number.rest.empty() && number.rest[0] == ';') {
        return "Move the comment \"" + number.rest + "\" to a line of its own: write " + name + "=" + number.number +
               ".";
    }
    if (number.rest.size() >= 2 && number.rest[0] == ',' && number.rest[1] >= '0' && number.rest[1] <= '9') {
        // A decimal comma: the number stopped at a comma that a digit follows.
        return "Use a decimal point: " + name + "=" + number.number + "." + number.rest.substr(1) +
               (takes_unit ? "" : " (veska reads " + number.number + ")") + ".";
    }
    // Degrees take no unit: Direction's value is a number alone, and a
    // degrees word behind Pitch is no unit of length.
    const std::string angle = takes_unit ? "Pitch" : "Direction";
    if (equal_ignoring_case(name, angle) && (!takes_unit || is_degrees_word(number.rest))) {
        return angle + " is in degrees, without a unit: write " + angle + "=" + number.number + ".";
    }
    if (!takes_unit) {
        return "Write the number alone: " + name + "=" + number.number + ".";
    }
    const std::string unit = unit_for_word(number.rest);
    return units + ": write " + name + "=" + number.number + " " + (unit.empty() ? "m" : unit) + ".";
}

std::string hint_geometry(const CheckContext& context, std::uint32_t light)
{
    if (light >= 1 && light <= LIGHT_COUNT_MAX) {
        MessageLog unheard;
        Diagnostics silent{unheard};
        const double range = get_key_value(silent, context.definition.sections[light], KeyId::max_range, 0.0);
        if (range == 0.0) {
            return "MaxRange is 0: give the distance ahead where the beam meets the ground, e.g. MaxRange=30.";
        }
    }
    return "Check Pitch, MaxRange and ZOffset of this light: numbers that aim the beam at the ground.";
}

std::string hint_beam_lights_no_ground(const CheckContext& context, std::uint32_t light)
{
    const bool pitch_given = light >= 1 && light <= LIGHT_COUNT_MAX &&
                             lookup_entry(context.definition.sections[light], KeyId::pitch) != nullptr;
    return pitch_given ? "Pitch aims the beam for another attitude: raise it, or leave it out to aim for the ground "
                         "pitch."
                       : "Give Pitch a value that slopes the beam down to the ground, or check the gear keys.";
}

// The text subject at index, or empty.
std::string_view text_of(const Message& message, std::size_t index)
{
    return index < message.subjects.size() ? std::string_view(message.subjects[index].text) : std::string_view();
}

std::uint32_t number_of(const Message& message, std::size_t index)
{
    return index < message.subjects.size() ? message.subjects[index].number : 0;
}

}  // namespace


const FileFacts& CheckContext::facts() const
{
    if (!facts_) {
        facts_.emplace();
        SourceLines::Cursor cursor(definition.lines);
        SourceLine line{};
        while (cursor.next(line)) {
            if (!line.visible.empty() && line.visible[0] == '[') {
                facts_->has_main_header = facts_->has_main_header || line.section == static_cast<int>(MAIN_SECTION);
                facts_->highest_light_section = std::max(facts_->highest_light_section, line.section);
            }
        }
    }
    return *facts_;
}

std::string message_hint(const CheckContext& context, const Message& message)
{
    const SourceLine source = context.definition.lines.line(message.line);
    // A line longer than the reader takes is read in pieces: what its later
    // pieces draw is mended by shortening the line.
    const std::uint32_t continued = source.continues;
    if (message_format(message.id).header == Header::file_and_line && continued != 0) {
        return "This is the rest of line " + std::to_string(continued) + ", longer than " +
               std::to_string(LINE_PIECE_MAX) + " characters, which veska reads in pieces: shorten line " +
               std::to_string(continued) + ".";
    }
    switch (message.id) {
    case MessageId::definition_open_error:
        return "Check the file's name and folder, and that it may be read.";
    case MessageId::definition_read_error:
        if (context.definition.encoding == TextEncoding::utf16_little_endian ||
            context.definition.encoding == TextEncoding::utf16_big_endian) {
            return "The file begins as UTF-16 text but is not UTF-16 to its end: save it again, as UTF-8.";
        }
        return "The file could not be read to its end: copy it again, or check the disk.";
    case MessageId::no_value:
        return hint_no_setting(source, false);
    case MessageId::unrecognised_name:
        return hint_unknown_name(source, without_line_end(text_of(message, 0)));
    case MessageId::duplicate_definition:
        return hint_duplicate(context, source.section, without_line_end(text_of(message, 0)));
    case MessageId::section_defined_already:
        return hint_repeated_section(context, source);
    case MessageId::lights_not_given:
        return "Add " + lights_suggestion(context.facts()) +
               " under [Main]: the number of [Light n] sections, 1 to 3.";
    case MessageId::invalid_light_count_in_line:
        return "Lights is the number of [Light n] sections: write " + lights_suggestion(context.facts()) +
               " (1, 2 or 3).";
    case MessageId::invalid_light_count:
        return "Add a [Main] section with Lights=1, 2 or 3 at the top of the file.";
    case MessageId::gear_incomplete:
        return hint_missing_gear(context);
    case MessageId::gear_distance_too_small:
        return hint_gear_distance(context);
    case MessageId::light_not_specified:
        return "Lights=" + std::to_string(context.definition.light_count) + " asks for a [Light " +
               std::to_string(number_of(message, 0)) + "] section: add it, or lower Lights.";
    case MessageId::beam_not_computable:
        return hint_geometry(context, number_of(message, 0));
    case MessageId::main_section_first:
        return context.facts().has_main_header ? "Move [Main] and its lines above the first [Light n] section."
                                               : "Add a [Main] section with Lights= at the top of the file.";
    case MessageId::section_not_expected:
        // Its subject is the Lights value read; 0: none before the section.
        return number_of(message, 0) == 0 ? "Put [Main] with Lights= at the top of the file, before the light sections."
                                          : "veska ignores this section: raise Lights to " +
                                                std::to_string(source.section) + ", or delete the section.";
    case MessageId::unrecognised_section:
        return hint_header(std::string(text_of(message, 0)));
    case MessageId::unrecognised_line:
        return hint_no_setting(source, true);
    case MessageId::no_unit_expected:
        return hint_value(source, false);
    case MessageId::invalid_unit:
        return hint_value(source, true);
    case MessageId::note_max_range_not_positive:
        return "MaxRange is how far ahead the beam meets the ground: give it above zero, e.g. MaxRange=30.";
    case MessageId::note_spot_width_not_positive:
        return "SpotWidth is the width of the lit spot: give it above zero, e.g. SpotWidth=20.";
    case MessageId::note_spot_depth_not_positive:
        return "SpotDepth is the depth of the lit spot along the ground: give it above zero and below MaxRange.";
    case MessageId::note_direction_backwards:
        return "Direction turns the beam sideways from straight ahead (0): use -90 to 90.";
    case MessageId::note_light_not_above_ground:
        return context.definition.ground.gear_read
                   ? "Raise ZOffset (the light's height, up positive) or check the gear heights."
                   : "Without the four gear keys the ground is level with the model's origin: give them in [Main], "
                     "or raise ZOffset.";
    case MessageId::note_beam_lights_no_ground:
        return hint_beam_lights_no_ground(context, number_of(message, 0));
    case MessageId::note_lit_area_behind_light:
        return "Make SpotDepth clearly smaller than MaxRange, or MaxRange larger.";
    case MessageId::note_line_ignored:
        return "Remove the blanks at its start if it is meant to count.";
    case MessageId::note_pitch_steep:
        return "Pitch is the aircraft's pitch the beam is aimed for: give it between -45 and 45, or leave it out to "
               "aim for the ground pitch.";
    case MessageId::note_key_hidden_by_return:
    case MessageId::note_key_hidden_by_zero:
        return "Put each setting on a line of its own, ended by a line feed.";
    case MessageId::note_gears_mixed:
        return "Name the other gear's keys alike: TailGearHeight and TailGearDist, or NoseGearHeight and NoseGearDist.";
    default:
        return std::string();
    }
}

}  // namespace lumora
