#include "definition/keys.h"

#include "basics/number_text.h"
#include "basics/text.h"

namespace lumora {

const KeyName main_keys[] = {
    {"Lights", KEY_LIGHTS},
    {"NoseGearDist", KEY_OTHER_GEAR_DIST},
    {"NoseGearHeight", KEY_OTHER_GEAR_HEIGHT},
    {"TailGearDist", KEY_OTHER_GEAR_DIST},
    {"TailGearHeight", KEY_OTHER_GEAR_HEIGHT},
    {"MainGearDist", KEY_MAIN_GEAR_DIST},
    {"MainGearHeight", KEY_MAIN_GEAR_HEIGHT},
    {"", 0},
};

const KeyName light_keys[] = {
    {"Pitch", KEY_PITCH},
    {"Direction", KEY_DIRECTION},
    {"LatOffset", KEY_LAT_OFFSET},
    {"LonOffset", KEY_LON_OFFSET},
    {"ZOffset", KEY_Z_OFFSET},
    {"MaxRange", KEY_MAX_RANGE},
    {"SpotWidth", KEY_SPOT_WIDTH},
    {"SpotDepth", KEY_SPOT_DEPTH},
    {"", 0},
};

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
    const double number = leading_number(entry->value, &rest);
    if (*rest != '\0') {
        report(diagnostics, "wNo unit of measurement expected in line %u.\n", entry->line);
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
    const double number = leading_number(entry->value, &rest);
    if (*rest == '\0') {
        return number;
    }
    for (const LengthUnit& unit : length_units) {
        if (equal_ignoring_case(rest, unit.suffix)) {
            return number * unit.metres;
        }
    }
    report(diagnostics, "eInvalid unit of measurement specification '%s' in line %u.\n", entry->value, entry->line);
    return number;
}

}  // namespace lumora
