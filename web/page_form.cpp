#include "web/page_form.h"

#include <cmath>

#include "basics/formatted.h"
#include "basics/number_text.h"
#include "basics/text.h"
#include "basics/whole_number.h"
#include "basics/windows_1252.h"
#include "definition/definition_editing.h"
#include "definition/keys.h"
#include "preview/preview_layout.h"

namespace lumora {

namespace {

// A field of the form: its key (its name, unit and default are the key
// table's), its words, and the slider's range in metres (or in degrees, or
// as a count) with its step.
struct KeyField {
    KeyId id;
    const char* label;
    const char* help;
    double min;
    double max;
    double step;
};

constexpr KeyField MAIN_FIELDS[] = {
    {KeyId::lights, "Lights", "how many light sections are used: 1 to 3", 1, 3, 1},
    {KeyId::main_gear_height, "Main gear height", "the main gear's contact point: height, up positive", -10, 5, 0.05},
    {KeyId::main_gear_dist, "Main gear distance",
     "the main gear's contact point: along the fuselage, towards the tail positive", -20, 20, 0.05},
    {KeyId::other_gear_height, "Other gear height", "the tail or nose gear's contact point: height, up positive", -10,
     5, 0.05},
    {KeyId::other_gear_dist, "Other gear distance",
     "the tail or nose gear's contact point: along the fuselage, towards the tail positive", -20, 20, 0.05},
};

constexpr KeyField LIGHT_FIELDS[] = {
    {KeyId::lat_offset, "Sideways (x)", "positive = right wing, negative = left wing", -30, 30, 0.05},
    {KeyId::z_offset, "Up (y)", "height of the light, up positive", -5, 5, 0.05},
    {KeyId::lon_offset, "Forwards (z)", "along the fuselage, forwards positive", -30, 30, 0.05},
    {KeyId::direction, "Direction", "degrees; positive turns the beam towards the right wing", -90, 90, 0.5},
    {KeyId::pitch, "Pitch", "degrees, the aircraft's pitch the beam is aimed for", -20, 30, 0.1},
    {KeyId::max_range, "Aim distance (MaxRange)", "where the beam meets the ground, ahead of the light", 1, 200, 0.5},
    {KeyId::spot_width, "Spot width", "width of the lit spot", 0.5, 100, 0.5},
    {KeyId::spot_depth, "Spot depth", "depth of the lit spot", 0.5, 200, 0.5},
};

FormField field_of(const Definition& definition, unsigned section, const KeyField& key_field, bool tail)
{
    FormField field{};
    field.section = section;
    const KeyName& key = key_by_id(key_field.id, !tail);
    field.key = key.name;
    field.label = key_field.label;
    field.help = key_field.help;
    field.takes_unit = key.takes_unit;
    double value = key.default_value;
    switch (key.absent) {
    case KeyDefault::value:
        field.placeholder = formatted("%g", key.default_value);
        break;
    case KeyDefault::ground_pitch:
        field.placeholder = "ground pitch (" + fixed_text(definition.ground.pitch_deg, 0, 2) + ")";
        value = definition.ground.pitch_deg;
        break;
    case KeyDefault::required:
        field.placeholder = "required";
        value = 1;
        break;
    }

    const DefinitionEntry* entry = lookup_entry(definition.sections[section], key_field.id);
    if (entry != nullptr) {
        field.present = true;
        field.line = entry->line;
        if (key.takes_unit) {
            const ValueParts parts = split_value(entry->value);
            field.number = shown_text(parts.number);
            field.unit = parts.unit;
        } else {
            field.number = shown_text(entry->value);
        }
        const char* end = nullptr;
        const double read = read_number(field.number.c_str(), &end);
        if (end != field.number.c_str() && std::isfinite(read)) {
            value = read;
        }
    }
    const double factor = unit_metres(field.unit);  // 1 without a unit
    // A length's step in its unit: 1, 2 or 5 times a power of ten near the
    // step in metres, as the picture's ticks are.
    field.slider_step = key.takes_unit ? nice_step(key_field.step / factor, 1.0) : key_field.step;
    field.slider_min = std::floor(key_field.min / factor / field.slider_step) * field.slider_step;
    field.slider_max = std::ceil(key_field.max / factor / field.slider_step) * field.slider_step;
    field.slider_value = value < field.slider_min ? field.slider_min : value > field.slider_max ? field.slider_max : value;
    return field;
}

}  // namespace

PageVocabulary page_vocabulary()
{
    PageVocabulary vocabulary;
    for (unsigned section = 0; section < SECTION_COUNT; ++section) {
        vocabulary.section_titles.push_back(section_header(section));
    }
    const auto gear_words = [](bool nose) {
        const std::string name = key_by_id(KeyId::other_gear_dist, nose).name;
        return std::string(nose ? "nose" : "tail") + " gear (" + name.substr(0, name.size() - 4) + "\xE2\x80\xA6)";
    };
    vocabulary.tail_gear_words = gear_words(false);
    vocabulary.nose_gear_words = gear_words(true);
    return vocabulary;
}

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
            form.other_gear_tail = !names_nose_gear(split_key_line(definition.lines.line(entry->line).visible).name);
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
    if (!edited || section != MAIN_SECTION || find_key(section_keys(MAIN_SECTION), key) != &key_by_id(KeyId::lights)) {
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
