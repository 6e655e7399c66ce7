#include "lights/light_decoding.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "basics/angles.h"
#include "basics/portable_math.h"
#include "lights/code_templates.h"

namespace lumora {

DecodedLight decode_light(const std::uint8_t* block, unsigned n, unsigned i)
{
    DecodedLight light{};
    const LightRecord record = read_light_record(block, n, i);
    light.beam = record.beam;
    light.scale = record.scale;
    // compute_light wrote K * (sin Dir, -sin B, cos Dir) with K = 32767 cos B:
    // y / horizontal = -sin B gives the inclination with the sign of the
    // program's light line (negative downwards), clamped where a vector
    // changed by hand gives more than 1. A vector without horizontal length
    // gives 0 for both angles.
    const double horizontal = portable_hypot(light.beam.x, light.beam.z);
    const double sine = horizontal == 0.0 ? 0.0 : std::clamp(light.beam.y / horizontal, -1.0, 1.0);
    light.inclination_deg = rad_to_deg(portable_asin(sine));
    light.direction_deg = rad_to_deg(portable_atan2(light.beam.x, light.beam.z));
    light.unit = scale_unit(light.scale);

    // Point 0 is the spot shape's apex (0, 0): the light's own position.
    light.position[0] = record.outline[0].x * light.unit;
    light.position[1] = record.outline[0].y * light.unit;
    light.position[2] = record.outline[0].z * light.unit;
    const auto by_x = [](const ModelVector& a, const ModelVector& b) { return a.x < b.x; };
    const auto by_y = [](const ModelVector& a, const ModelVector& b) { return a.y < b.y; };
    const auto x_range = std::minmax_element(std::begin(record.outline), std::end(record.outline), by_x);
    const auto y_range = std::minmax_element(std::begin(record.outline), std::end(record.outline), by_y);
    light.spot_width = (x_range.second->x - x_range.first->x) * light.unit;
    light.spot_depth = (y_range.second->y - y_range.first->y) * light.unit;
    return light;
}

}  // namespace lumora
