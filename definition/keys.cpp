#include "definition/keys.h"

#include "basics/number_text.h"
#include "basics/text.h"

namespace lumora {

namespace {

constexpr KeyName MAIN_KEYS[] = {
    {"Lights", KeyId::lights},
    {"NoseGearDist", KeyId::other_gear_dist},
    {"NoseGearHeight", KeyId::other_gear_height},
    {"TailGearDist", KeyId::other_gear_dist},
    {"TailGearHeight", KeyId::other_gear_height},
    {"MainGearDist", KeyId::main_gear_dist},
    {"MainGearHeight", KeyId::main_gear_height},
};

constexpr KeyName LIGHT_KEYS[] = {
    {"Pitch", KeyId::pitch},
    {"Direction", KeyId::direction},
    {"LatOffset", KeyId::lat_offset},
    {"LonOffset", KeyId::lon_offset},
    {"ZOffset", KeyId::z_offset},
    {"MaxRange", KeyId::max_range},
    {"SpotWidth", KeyId::spot_width},
    {"SpotDepth", KeyId::spot_depth},
};

}  // namespace

KeyTable main_keys() { return {MAIN_KEYS, sizeof MAIN_KEYS / sizeof MAIN_KEYS[0]}; }

KeyTable light_keys() { return {LIGHT_KEYS, sizeof LIGHT_KEYS / sizeof LIGHT_KEYS[0]}; }

const KeyName* find_key(const KeyTable& table, std::string_view name)
{
    for (const KeyName& key : table) {
        if (equal_ignoring_case(name, key.name)) {
            return &key;
        }
    }
    return nullptr;
}

const LengthUnit length_units[LENGTH_UNIT_COUNT] = {
    {"in", 0.0254},
    {"ft", 0.3048},
    {"cm", 0.01},
    {"m", 1.0},
};

namespace {

// Converts the number at the start of text (0 when there is none) and
// returns in *rest the text behind it with blanks and tabs skipped. The
// number is read alike on every platform, as glibc's strtod reads it.
double leading_number(const char* text, const char** rest)
{
    const char* end = nullptr;
    const double number = read_number(text, &end);
    while (*end == ' ' || *end == '\t') {
        ++end;
    }
    *rest = end;
    return number;
}

}  // namespace

double get_number(Diagnostics& diagnostics, const DefinitionSection& section, KeyId key, double fallback)
{
    const DefinitionEntry* entry = lookup_entry(section, key);
    if (entry == nullptr) {
        return fallback;
    }
    const char* rest = nullptr;
    const double number = leading_number(entry->value.c_str(), &rest);
    if (*rest != '\0') {
        report(diagnostics, MessageId::no_unit_expected, {entry->line}, entry->line);
    }
    return number;
}

double get_number_with_unit(Diagnostics& diagnostics, const DefinitionSection& section, KeyId key,
                            double fallback)
{
    const DefinitionEntry* entry = lookup_entry(section, key);
    if (entry == nullptr) {
        return fallback;
    }
    const char* rest = nullptr;
    const double number = leading_number(entry->value.c_str(), &rest);
    if (*rest == '\0') {
        return number;
    }
    for (const LengthUnit& unit : length_units) {
        if (equal_ignoring_case(rest, unit.suffix)) {
            return number * unit.metres;
        }
    }
    report(diagnostics, MessageId::invalid_unit, {entry->value, entry->line}, entry->line);
    return number;
}

}  // namespace lumora
