#include "web/page_form.h"

#include <cmath>

#include "basics/number_text.h"
#include "basics/text.h"
#include "basics/whole_number.h"
#include "definition/definition_editing.h"
#include "definition/keys.h"

namespace lumora {

namespace {

// A field of the form: its key, its words, the default that applies when
// the key is absent, and the slider's range in metres (or in degrees, or as
// a count) with its step.
struct KeyField {
    KeyId id;
    const char* key;  // the other gear's keys name the tail gear here
    const char* label;
    const char* help;
    bool takes_unit;
    const char* default_text;  // null: worked out (the ground pitch)
    double default_value;
    double min;
    double max;
    double step;
};

constexpr KeyField MAIN_FIELDS[] = {
    {KeyId::lights, "Lights", "Lights", "how many light sections are used: 1 to 3", false, "required", 1, 1, 3, 1},
    {KeyId::main_gear_height, "MainGearHeight", "Main gear height",
     "the main gear's contact point: height, up positive", true, "0", 0, -10, 5, 0.05},
    {KeyId::main_gear_dist, "MainGearDist", "Main gear distance",
     "the main gear's contact point: along the fuselage, towards the tail positive", true, "0", 0, -20, 20, 0.05},
    {KeyId::other_gear_height, "TailGearHeight", "Other gear height",
     "the tail or nose gear's contact point: height, up positive", true, "0", 0, -10, 5, 0.05},
    {KeyId::other_gear_dist, "TailGearDist", "Other gear distance",
     "the tail or nose gear's contact point: along the fuselage, towards the tail positive", true, "0", 0, -20, 20,
     0.05},
};

constexpr KeyField LIGHT_FIELDS[] = {
    {KeyId::lat_offset, "LatOffset", "Sideways (x)", "positive = right wing, negative = left wing", true, "0", 0, -30,
     30, 0.05},
    {KeyId::z_offset, "ZOffset", "Up (y)", "height of the light, up positive", true, "0", 0, -5, 5, 0.05},
    {KeyId::lon_offset, "LonOffset", "Forwards (z)", "along the fuselage, forwards positive", true, "20", 20, -30, 30,
     0.05},
    {KeyId::direction, "Direction", "Direction",
     "degrees; positive turns the beam towards the right wing", false, "0", 0, -90, 90, 0.5},
    {KeyId::pitch, "Pitch", "Pitch", "degrees, the aircraft's pitch the beam is aimed for", false, nullptr, 0, -20, 30,
     0.1},
    {KeyId::max_range, "MaxRange", "Aim distance (MaxRange)", "where the beam meets the ground, ahead of the light",
     true, "30", 30, 1, 200, 0.5},
    {KeyId::spot_width, "SpotWidth", "Spot width", "width of the lit spot", true, "20", 20, 0.5, 100, 0.5},
    {KeyId::spot_depth, "SpotDepth", "Spot depth", "depth of the lit spot", true, "40", 40, 0.5, 200, 0.5},
};

double unit_metres(const std::string& unit)
{
    for (const LengthUnit& known : length_units) {
        if (equal_ignoring_case(unit, known.suffix)) {
            return known.metres;
        }
    }
    return 1.0;
}

// The slider's step in a unit: a round number near the step in metres.
double step_in_unit(double metres_step, const std::string& unit)
{
    const double raw = metres_step / unit_metres(unit);
    const double decade = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double nice : {1.0, 2.0, 5.0}) {
        if (raw <= nice * decade * 1.000001) {
            return nice * decade;
        }
    }
    return 10.0 * decade;
}

// The name the file writes for a key of [Main], as a key of the table.
std::string written_name(const Definition& definition, const DefinitionEntry& entry)
{
    const KeyLine key_line = split_key_line(definition.lines.line(entry.line).visible);
    const KeyName* key = find_key(main_keys(), key_line.name);
    return key != nullptr ? std::string(key->name) : std::string();
}

FormField field_of(const Definition& definition, unsigned section, const KeyField& key_field, bool tail)
{
    FormField field{};
    field.section = section;
    field.key = key_field.key;
    if (!tail && key_field.id == KeyId::other_gear_height) {
        field.key = "NoseGearHeight";
    } else if (!tail && key_field.id == KeyId::other_gear_dist) {
        field.key = "NoseGearDist";
    }
    field.label = key_field.label;
    field.help = key_field.help;
    field.takes_unit = key_field.takes_unit;
    field.placeholder = key_field.default_text != nullptr
                            ? key_field.default_text
                            : "ground pitch (" + fixed_text(definition.ground.pitch_deg, 0, 2) + ")";
    double value = key_field.default_text != nullptr ? key_field.default_value : definition.ground.pitch_deg;

    const DefinitionEntry* entry = lookup_entry(definition.sections[section], key_field.id);
    if (entry != nullptr) {
        field.present = true;
        field.line = entry->line;
        if (key_field.takes_unit) {
            const ValueParts parts = split_value(entry->value);
            field.number = parts.number;
            field.unit = parts.unit;
        } else {
            field.number = entry->value;
        }
        const char* end = nullptr;
        const double read = read_number(field.number.c_str(), &end);
        if (end != field.number.c_str() && std::isfinite(read)) {
            value = read;
        }
    } else if (key_field.takes_unit) {
        value /= unit_metres(field.unit);
    }
    const double factor = key_field.takes_unit ? unit_metres(field.unit) : 1.0;
    field.slider_step = key_field.takes_unit ? step_in_unit(key_field.step, field.unit) : key_field.step;
    field.slider_min = std::floor(key_field.min / factor / field.slider_step) * field.slider_step;
    field.slider_max = std::ceil(key_field.max / factor / field.slider_step) * field.slider_step;
    field.slider_value = value < field.slider_min ? field.slider_min : value > field.slider_max ? field.slider_max : value;
    return field;
}

}  // namespace

FormState form_state(const Definition& definition)
{
    FormState form{};
    // The other gear is written as the file writes it; as the tail gear when
    // the file names neither.
    form.other_gear_tail = true;
    const DefinitionSection& main = definition.sections[MAIN_SECTION];
    for (const KeyId id : {KeyId::other_gear_height, KeyId::other_gear_dist}) {
        const DefinitionEntry* entry = lookup_entry(main, id);
        if (entry != nullptr) {
            form.other_gear_tail = written_name(definition, *entry).rfind("Nose", 0) != 0;
            break;
        }
    }
    for (const KeyField& key_field : MAIN_FIELDS) {
        form.fields.push_back(field_of(definition, MAIN_SECTION, key_field, form.other_gear_tail));
    }
    for (unsigned section = 1; section < SECTION_COUNT; ++section) {
        for (const KeyField& key_field : LIGHT_FIELDS) {
            form.fields.push_back(field_of(definition, section, key_field, form.other_gear_tail));
        }
    }
    return form;
}

std::optional<std::string> edit_field(const std::string& bytes, unsigned section, const std::string& key,
                                      const std::string& number, const std::string& unit)
{
    std::optional<std::string> edited = edit_key(bytes, section, key, compose_value(number, unit));
    if (!edited || section != MAIN_SECTION || !equal_ignoring_case(key, "Lights")) {
        return edited;
    }
    const char* end = nullptr;
    const std::uint32_t count = low_bits_of_whole(read_number(number.c_str(), &end));
    if (count >= 1 && count <= SECTION_COUNT - 1) {
        return fit_light_sections(*edited, count);
    }
    return edited;
}

}  // namespace lumora
