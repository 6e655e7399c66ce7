#include "lights/value_notes.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "basics/angles.h"
#include "basics/formatted.h"
#include "definition/keys.h"
#include "lights/ground_view.h"

namespace lumora {

namespace {

// The line of key in the section, 0 when the section lacks it (the default
// was used).
std::uint32_t line_of(const DefinitionSection& section, KeyId key)
{
    const DefinitionEntry* entry = lookup_entry(section, key);
    return entry != nullptr ? entry->line : 0;
}

// The first of the keys that the section gives, else 0.
std::uint32_t first_line_of(const DefinitionSection& section, KeyId first, KeyId second)
{
    const std::uint32_t line = line_of(section, first);
    return line != 0 ? line : line_of(section, second);
}

// How far the lit area reaches back behind the light (0 when it does not),
// measured over the ground (level once the aircraft's ground pitch is turned
// out) along the beam's direction.
double reach_behind(const LightOnGround& light, double slope)
{
    // cos and sin of the ground pitch, whose tangent the slope is.
    const double cos_pitch = 1.0 / std::sqrt(1.0 + slope * slope);
    const double sin_pitch = slope * cos_pitch;
    const double beam_x = light.direction.x;
    const double beam_z = light.direction.z * cos_pitch - light.direction.y * sin_pitch;
    const double beam_length = std::sqrt(beam_x * beam_x + beam_z * beam_z);
    double behind = 0.0;
    if (!(beam_length > 0.0)) {
        return behind;  // straight down: the lit area lies round the light's foot
    }
    for (const Point3& p : light.lit_area) {
        const double dx = p.x - light.position.x;
        const double dz = (p.z - light.position.z) * cos_pitch - (p.y - light.position.y) * sin_pitch;
        const double ahead = (dx * beam_x + dz * beam_z) / beam_length;
        behind = -ahead > behind ? -ahead : behind;
    }
    return behind;
}

void check_light(std::vector<ValueNote>& warnings, const Definition& definition, const LightValues& values,
                 const LightOnGround& light, double slope, unsigned number)
{
    const DefinitionSection& section = definition.sections[number];
    if (!(values.max_range > 0.0)) {
        warnings.push_back({line_of(section, KEY_MAX_RANGE),
                            formatted("[Light %u]: MaxRange is %g m, not above zero.", number, values.max_range),
                            "MaxRange is how far ahead the beam meets the ground: give it above zero, e.g. "
                            "MaxRange=30."});
    }
    if (!(values.spot_width > 0.0)) {
        warnings.push_back({line_of(section, KEY_SPOT_WIDTH),
                            formatted("[Light %u]: SpotWidth is %g m, not above zero.", number, values.spot_width),
                            "SpotWidth is the width of the lit spot: give it above zero, e.g. SpotWidth=20."});
    }
    if (!(values.spot_depth > 0.0)) {
        warnings.push_back({line_of(section, KEY_SPOT_DEPTH),
                            formatted("[Light %u]: SpotDepth is %g m, not above zero.", number, values.spot_depth),
                            "SpotDepth is the depth of the lit spot along the ground: give it above zero and below "
                            "MaxRange."});
    }
    const double direction_deg = rad_to_deg(values.direction);
    if (std::fabs(direction_deg) > 90.0) {
        warnings.push_back({line_of(section, KEY_DIRECTION),
                            formatted("[Light %u]: Direction is %g degrees: the beam points backwards.", number,
                                      direction_deg),
                            "Direction turns the beam sideways from straight ahead (0): use -90 to 90."});
    }
    if (!(values.height > 0.0)) {
        const std::string where = values.height == 0.0
                                      ? std::string("on the ground line")
                                      : formatted("%.2f m below the ground line", -values.height);
        warnings.push_back({line_of(section, KEY_Z_OFFSET),
                            formatted("[Light %u]: the light is %s.", number, where.c_str()),
                            definition.ground.gear_read
                                ? "Raise ZOffset (the light's height, up positive) or check the gear heights."
                                : "Without the four gear keys the ground is level with the model's origin: give "
                                  "them in [Main], or raise ZOffset."});
        return;
    }
    if (!light.lit) {
        if (values.max_range > 0.0) {
            warnings.push_back({line_of(section, KEY_PITCH),
                                formatted("[Light %u]: with the aircraft on its gear the beam points level or up and "
                                          "lights no ground.",
                                          number),
                                lookup_entry(section, KEY_PITCH) != nullptr
                                    ? "Pitch aims the beam for another attitude: raise it, or leave it out to aim "
                                      "for the ground pitch."
                                    : "Check Direction and the gear keys: the beam must slope down to the ground."});
        }
        return;
    }
    const double behind = reach_behind(light, slope);
    if (behind > 0.0) {
        warnings.push_back({first_line_of(section, KEY_SPOT_DEPTH, KEY_MAX_RANGE),
                            formatted("[Light %u]: the lit area reaches %.2f m back past the light (SpotDepth %g m, "
                                      "the aim point %g m ahead).",
                                      number, behind, values.spot_depth, values.max_range),
                            "Make SpotDepth clearly smaller than MaxRange, or MaxRange larger."});
    }
}

}  // namespace

std::vector<ValueNote> note_values(const Definition& definition, const LightSet& lights, unsigned light_count)
{
    const unsigned count = light_count < LIGHT_COUNT_MAX ? light_count : LIGHT_COUNT_MAX;
    const GroundView geometry = compute_ground_view(definition.ground, lights, count);
    std::vector<ValueNote> warnings;
    for (unsigned i = 0; i < count; ++i) {
        if (lights.values[i].computed) {
            check_light(warnings, definition, lights.values[i], geometry.lights[i], geometry.slope, i + 1);
        }
    }
    return warnings;
}

}  // namespace lumora
