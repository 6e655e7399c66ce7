#include "lights/light_decoding.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "basics/angles.h"
#include "basics/portable_math.h"
#include "lights/code_templates.h"

namespace lumora {

namespace {

// The inclination B that compute_light encoded in a beam vector
// K * (sin Dir, -sin B, cos Dir) with K = 32767 cos B, in degrees with
// the sign of the program's light line (negative downwards). 0 for a vector
// without horizontal length.
double beam_inclination_deg(const ModelVector& beam)
{
    const double horizontal = portable_hypot(static_cast<double>(beam.x), static_cast<double>(beam.z));
    if (horizontal == 0.0) {
        return 0.0;
    }
    // y / horizontal = -sin B; a vector that was changed by hand may give
    // more than 1.
    return rad_to_deg(portable_asin(std::clamp(static_cast<double>(beam.y) / horizontal, -1.0, 1.0)));
}

}  // namespace

DecodedLight decode_light(const std::uint8_t* block, unsigned n, unsigned i)
{
    DecodedLight light{};
    const LightRecord record = read_light_record(block, n, i);
    light.beam = record.beam;
    light.scale = record.scale;
    light.inclination_deg = beam_inclination_deg(light.beam);
    // The sideways turn Dir; a vector without horizontal length gives 0.
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
