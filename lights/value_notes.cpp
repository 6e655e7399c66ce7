#include "lights/value_notes.h"

#include <cmath>

#include "basics/angles.h"
#include "lights/ground_view.h"

namespace lumora {

namespace {

// The steepest pitch a beam is sensibly aimed for, either way.
constexpr double PITCH_LIMIT_DEG = 45.0;

// The line of key in the section, 0 when the section lacks it (the default
// was used).
std::uint32_t line_of(const DefinitionSection& section, KeyId key)
{
    const DefinitionEntry* entry = lookup_entry(section, key);
    return entry != nullptr ? entry->line : 0;
}

void check_light(std::vector<Message>& notes, const Definition& definition, const LightValues& values,
                 const GroundView& view, std::uint32_t number)
{
    const DefinitionSection& section = definition.sections[number];
    if (!(values.max_range > 0.0)) {
        notes.push_back({MessageId::note_max_range_not_positive, line_of(section, KeyId::max_range),
                         {number, values.max_range}});
    }
    if (!(values.spot_width > 0.0)) {
        notes.push_back({MessageId::note_spot_width_not_positive, line_of(section, KeyId::spot_width),
                         {number, values.spot_width}});
    }
    if (!(values.spot_depth > 0.0)) {
        notes.push_back({MessageId::note_spot_depth_not_positive, line_of(section, KeyId::spot_depth),
                         {number, values.spot_depth}});
    }
    const double direction_deg = rad_to_deg(values.direction);
    if (std::fabs(direction_deg) > 90.0) {
        notes.push_back({MessageId::note_direction_backwards, line_of(section, KeyId::direction),
                         {number, direction_deg}});
    }
    // A pitch far from any attitude on the ground: the beam is aimed for the
    // aircraft standing on its tail or its nose, and the lit area's other
    // figures follow from that, not from the spot's size.
    const double pitch_deg = rad_to_deg(values.pitch);
    const bool steep = std::fabs(pitch_deg) > PITCH_LIMIT_DEG;
    if (steep) {
        notes.push_back({MessageId::note_pitch_steep, line_of(section, KeyId::pitch), {number, pitch_deg}});
    }
    if (!(values.height > 0.0)) {
        notes.push_back({MessageId::note_light_not_above_ground, line_of(section, KeyId::z_offset),
                         {number, values.height != 0.0, -values.height}});
        return;
    }
    const LightOnGround& light = view.lights[number - 1];
    if (!light.lit) {
        if (values.max_range > 0.0) {
            notes.push_back({MessageId::note_beam_lights_no_ground, line_of(section, KeyId::pitch), {number}});
        }
        return;
    }
    // The lit area reaches back past the light where its nearest point lies
    // behind the ground below the light, as the lit area's figures say.
    const LitAreaFigures figures = lit_area_figures(view, number - 1);
    const double behind = -figures.nearest;
    if (figures.state == LitArea::lit && behind > 0.0 && !steep) {
        // The line of SpotDepth, or else of MaxRange.
        const std::uint32_t depth_line = line_of(section, KeyId::spot_depth);
        notes.push_back({MessageId::note_lit_area_behind_light,
                         depth_line != 0 ? depth_line : line_of(section, KeyId::max_range),
                         {number, behind, values.spot_depth, values.max_range}});
    }
}

}  // namespace

std::vector<Message> note_values(const Definition& definition, const LightSet& lights, unsigned light_count)
{
    const unsigned count = light_count < LIGHT_COUNT_MAX ? light_count : LIGHT_COUNT_MAX;
    const GroundView view = compute_ground_view(definition.ground, lights, count);
    std::vector<Message> notes;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (lights.values[i].computed) {
            check_light(notes, definition, lights.values[i], view, i + 1);
        }
    }
    return notes;
}

}  // namespace lumora
