#include "definition/keys.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "basics/number_text.h"
#include "basics/text.h"
#include "definition/definition_text.h"

namespace lumora {

namespace {

constexpr KeyDefault V = KeyDefault::value;

constexpr KeyName MAIN_KEYS[] = {
    {"Lights", KeyId::lights, false, false, KeyDefault::required, 0.0, KeyGear::none},
    {"NoseGearDist", KeyId::other_gear_dist, true, true, V, 0.0, KeyGear::nose},
    {"NoseGearHeight", KeyId::other_gear_height, true, true, V, 0.0, KeyGear::nose},
    {"TailGearDist", KeyId::other_gear_dist, true, true, V, 0.0, KeyGear::tail},
    {"TailGearHeight", KeyId::other_gear_height, true, true, V, 0.0, KeyGear::tail},
    {"MainGearDist", KeyId::main_gear_dist, true, true, V, 0.0, KeyGear::main},
    {"MainGearHeight", KeyId::main_gear_height, true, true, V, 0.0, KeyGear::main},
};

constexpr KeyName LIGHT_KEYS[] = {
    {"Pitch", KeyId::pitch, false, true, KeyDefault::ground_pitch, 0.0, KeyGear::none},
    {"Direction", KeyId::direction, false, false, V, 0.0, KeyGear::none},
    {"LatOffset", KeyId::lat_offset, true, true, V, 0.0, KeyGear::none},
    {"LonOffset", KeyId::lon_offset, true, true, V, 20.0, KeyGear::none},
    {"ZOffset", KeyId::z_offset, true, true, V, 0.0, KeyGear::none},
    {"MaxRange", KeyId::max_range, true, true, V, 30.0, KeyGear::none},
    {"SpotWidth", KeyId::spot_width, true, true, V, 20.0, KeyGear::none},
    {"SpotDepth", KeyId::spot_depth, true, true, V, 40.0, KeyGear::none},
};

constexpr KeyTable MAIN_TABLE{MAIN_KEYS, sizeof MAIN_KEYS / sizeof MAIN_KEYS[0]};
constexpr KeyTable LIGHT_TABLE{LIGHT_KEYS, sizeof LIGHT_KEYS / sizeof LIGHT_KEYS[0]};

}  // namespace

KeyTable section_keys(unsigned section) { return section == MAIN_SECTION ? MAIN_TABLE : LIGHT_TABLE; }

KeyTable other_section_keys(unsigned section) { return section == MAIN_SECTION ? LIGHT_TABLE : MAIN_TABLE; }

const KeyName* find_key(const KeyTable& table, std::string_view name)
{
    const KeyName* key =
        std::find_if(table.begin(), table.end(), [name](const KeyName& k) { return equal_ignoring_case(name, k.name); });
    return key != table.end() ? key : nullptr;
}

namespace {

constexpr std::size_t KEY_ID_LIMIT = 16;  // above every KeyId

// key_by_id's answers, worked out at compile time: per identity the first
// key of the tables with it, named for the tail gear [0] or the nose gear
// [1] where it places the other gear; null for an identity without a key.
struct KeysById {
    const KeyName* keys[2][KEY_ID_LIMIT];
};

constexpr KeysById keys_by_id()
{
    KeysById found{};
    for (const KeyTable& table : {MAIN_TABLE, LIGHT_TABLE}) {
        for (const KeyName& key : table) {
            for (int nose = 0; nose < 2; ++nose) {
                const KeyName*& slot = found.keys[nose][static_cast<std::size_t>(key.id)];
                if (slot == nullptr && key.gear != (nose == 1 ? KeyGear::tail : KeyGear::nose)) {
                    slot = &key;
                }
            }
        }
    }
    return found;
}

constexpr KeysById KEYS_BY_ID = keys_by_id();

}  // namespace

const KeyName& key_by_id(KeyId id, bool nose)
{
    const auto index = static_cast<std::size_t>(id);
    const KeyName* key = index < KEY_ID_LIMIT ? KEYS_BY_ID.keys[nose ? 1 : 0][index] : nullptr;
    return key != nullptr ? *key : MAIN_KEYS[0];
}

namespace {

constexpr std::string_view MAIN_HEADER = "[Main]";
constexpr std::string_view LIGHT_HEADER_START = "[Light ";
constexpr char HEADER_END = ']';

}  // namespace

std::string section_header(unsigned section)
{
    return section == MAIN_SECTION ? std::string(MAIN_HEADER)
                                   : std::string(LIGHT_HEADER_START) + std::to_string(section) + HEADER_END;
}

int header_section(std::string_view line)
{
    if (equal_ignoring_case(line, MAIN_HEADER)) {
        return static_cast<int>(MAIN_SECTION);
    }
    // The number as section_header writes it: one digit, compared in place.
    static_assert(SECTION_COUNT <= 10, "a light's number is one digit");
    const std::size_t start = LIGHT_HEADER_START.size();
    if (line.size() != start + 2 || line.back() != HEADER_END ||
        !equal_ignoring_case(line.substr(0, start), LIGHT_HEADER_START)) {
        return NO_SECTION;
    }
    const char digit = line[start];
    return digit >= '1' && digit < static_cast<char>('0' + SECTION_COUNT) ? digit - '0' : NO_SECTION;
}

bool names_nose_gear(std::string_view written_name)
{
    // The nose gear's key names begin with the same word before "Gear".
    const char* nose = key_by_id(KeyId::other_gear_dist, true).name;
    const std::size_t word = std::string_view(nose).find("Gear");
    const std::string name = trimmed(written_name);
    return name.size() >= word &&
           equal_ignoring_case(std::string_view(name).substr(0, word), std::string_view(nose, word));
}

const LengthUnit length_units[LENGTH_UNIT_COUNT] = {
    {"in", 0.0254},
    {"ft", 0.3048},
    {"cm", 0.01},
    {"m", 1.0},
};

const LengthUnit* find_unit(std::string_view text)
{
    const LengthUnit* unit = std::find_if(std::begin(length_units), std::end(length_units),
                                          [text](const LengthUnit& u) { return equal_ignoring_case(text, u.suffix); });
    return unit != std::end(length_units) ? unit : nullptr;
}

double unit_metres(std::string_view suffix)
{
    const LengthUnit* unit = find_unit(suffix);
    return unit != nullptr ? unit->metres : 1.0;
}

double get_key_value(Diagnostics& diagnostics, const DefinitionSection& section, KeyId key, double ground_pitch)
{
    const KeyName& named = key_by_id(key);
    const DefinitionEntry* entry = lookup_entry(section, key);
    if (entry == nullptr) {
        return named.absent == KeyDefault::ground_pitch ? ground_pitch : named.default_value;
    }
    // The number is read alike on every platform, as glibc's strtod reads
    // it; blanks and tabs behind it are passed over.
    const char* rest = nullptr;
    const double number = read_number(entry->value.c_str(), &rest);
    rest += std::strspn(rest, " \t");
    if (*rest == '\0') {
        return number;
    }
    if (!named.reads_unit) {
        report(diagnostics, MessageId::no_unit_expected, {entry->line}, entry->line);
        return number;
    }
    if (const LengthUnit* unit = find_unit(rest)) {
        return number * unit->metres;
    }
    report(diagnostics, MessageId::invalid_unit, {entry->value, entry->line}, entry->line);
    return number;
}

}  // namespace lumora
