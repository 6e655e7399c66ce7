#include "lights/ground_view.h"

#include <cmath>

#include "basics/angles.h"
#include "basics/messages.h"
#include "basics/portable_math.h"

namespace lumora {

namespace {

Point3 along(const Point3& from, const Point3& direction, double distance)
{
    return {from.x + direction.x * distance, from.y + direction.y * distance, from.z + direction.z * distance};
}

// How far p stands above the ground line, measured in y.
double height_above_ground(const GroundView& geometry, const Point3& p)
{
    return p.y - ground_height(geometry, p.z);
}

LightOnGround preview_light(const GroundView& geometry, const LightSet& lights, unsigned index)
{
    LightOnGround light{};
    const LightValues& values = lights.values[index];
    if (!values.computed) {
        return light;
    }
    light.computed = true;
    light.pitch_deg = rad_to_deg(values.pitch);
    light.inclination_deg = -rad_to_deg(values.inclination);
    light.max_range = values.max_range;
    light.position = {values.x_right, values.y_up, values.z_forward};
    const double b = values.inclination;
    light.direction = {portable_cos(b) * portable_sin(values.direction), -portable_sin(b),
                       portable_cos(b) * portable_cos(values.direction)};
    // The beam is aimed so that, with the aircraft at the light's pitch, it
    // meets the ground MaxRange ahead of the light and the light's height
    // below it: that point lies hypot(MaxRange, h) along the beam.
    light.aim_distance = portable_hypot(values.max_range, values.height);
    light.aim = along(light.position, light.direction, light.aim_distance);

    // The outline stands in the light's plane z = LonOffset; each point goes
    // along the beam until it meets the ground line.
    const double descent = light.direction.y + geometry.slope * light.direction.z;
    light.lit = descent < 0.0 && height_above_ground(geometry, light.position) > 0.0;
    if (!light.lit) {
        return light;
    }
    light.ground_distance = -height_above_ground(geometry, light.position) / descent;
    light.ground_hit = along(light.position, light.direction, light.ground_distance);
    const LightRecord& record = lights.records[index];
    const double unit = scale_unit(record.scale);
    for (unsigned k = 0; k < OUTLINE_POINTS; ++k) {
        const Point3 point = {record.outline[k].x * unit, record.outline[k].y * unit, record.outline[k].z * unit};
        light.lit_area[k] = along(point, light.direction, -height_above_ground(geometry, point) / descent);
    }
    return light;
}

// The aim point counts as on the ground within this height, in metres; the
// figures say how far it lies off it beyond.
constexpr double AIM_OFF_GROUND = 0.5;

// The cosine of the ground pitch, whose tangent the slope is.
double ground_cosine(double slope) { return 1.0 / std::sqrt(1.0 + slope * slope); }

// How far p lies ahead of from, over the ground: along the ground line's
// direction forwards, (0, -slope, 1) made a unit vector. Points square to
// the ground from each other are equally far ahead.
double ahead_over_ground(const Point3& from, const Point3& p, double slope)
{
    return ((p.z - from.z) - slope * (p.y - from.y)) * ground_cosine(slope);
}

// A length rounded to one decimal as it is shown, so that its sign and its
// digits agree: -0.04 shows as 0.0, without a sign.
double shown(double metres) { return std::round(metres * 10.0) / 10.0 + 0.0; }

// Where a span from low to high lies, as the lit area's words tell: on the
// positive side, on the negative side (a high end shown as 0.0 stays on the
// low end's side), or across.
enum class Span : std::uint8_t { positive, negative, across };

Span span_of(double low, double high)
{
    const double from = shown(low);
    const double to = shown(high);
    return from < 0.0 ? (to > 0.0 ? Span::across : Span::negative) : Span::positive;
}

}  // namespace

bool meets_ground_before_aim(const LightOnGround& light)
{
    return light.computed && light.lit && light.ground_distance < light.aim_distance * (1.0 - 1e-9);
}

double ground_height(const GroundView& geometry, double z)
{
    return geometry.main_gear.y - geometry.slope * (z - geometry.main_gear.z);
}

GroundView compute_ground_view(const GroundGeometry& ground, const LightSet& lights, unsigned light_count)
{
    GroundView geometry{};
    geometry.ground_pitch_deg = ground.pitch_deg;
    geometry.slope = ground.slope;
    // A contact point given at distance d lies at z = -d.
    geometry.main_gear = {0.0, ground.main_gear_height, -ground.main_gear_dist};
    geometry.other_gear = {0.0, ground.other_gear_height, -ground.other_gear_dist};
    geometry.gear_given = ground.gear_read;
    geometry.other_gear_is_tail = ground.other_gear_dist > ground.main_gear_dist;
    geometry.light_count = light_count < LIGHT_COUNT_MAX ? light_count : LIGHT_COUNT_MAX;
    for (unsigned i = 0; i < geometry.light_count; ++i) {
        geometry.lights[i] = preview_light(geometry, lights, i);
    }
    return geometry;
}

LitAreaFigures lit_area_figures(const GroundView& geometry, unsigned index)
{
    LitAreaFigures figures{};
    if (index >= geometry.light_count || !geometry.lights[index].computed) {
        figures.state = LitArea::not_computed;
        return figures;
    }
    const LightOnGround& light = geometry.lights[index];
    if (!light.lit) {
        figures.state =
            height_above_ground(geometry, light.position) > 0.0 ? LitArea::beam_not_down : LitArea::light_not_above;
        return figures;
    }
    figures.state = LitArea::lit;
    const double slope = geometry.slope;
    figures.nearest = ahead_over_ground(light.position, light.lit_area[0], slope);
    figures.farthest = figures.nearest;
    figures.leftmost = light.lit_area[0].x;
    figures.rightmost = figures.leftmost;
    for (const Point3& p : light.lit_area) {
        const double ahead = ahead_over_ground(light.position, p, slope);
        figures.nearest = std::fmin(figures.nearest, ahead);
        figures.farthest = std::fmax(figures.farthest, ahead);
        figures.leftmost = std::fmin(figures.leftmost, p.x);
        figures.rightmost = std::fmax(figures.rightmost, p.x);
    }
    figures.aim_ahead = ahead_over_ground(light.position, light.aim, slope);
    figures.aim_x = light.aim.x;
    figures.aim_height = height_above_ground(geometry, light.aim) * ground_cosine(slope);
    return figures;
}

std::string lit_area_description(const LitAreaFigures& figures)
{
    const auto size = [](double metres) { return std::fabs(shown(metres)); };
    const auto negative = [](double metres) { return shown(metres) < 0.0; };
    const LitAreaFigures& f = figures;
    return message_body(Message{
        MessageId::lit_area_words,
        0,
        {f.state, span_of(f.nearest, f.farthest), size(f.nearest), size(f.farthest), negative(f.farthest),
         shown(f.leftmost) == 0.0 && shown(f.rightmost) == 0.0, span_of(f.leftmost, f.rightmost), size(f.leftmost),
         size(f.rightmost), size(f.aim_ahead), negative(f.aim_ahead), shown(f.aim_x) == 0.0, size(f.aim_x),
         negative(f.aim_x), std::fabs(f.aim_height) >= AIM_OFF_GROUND, size(f.aim_height), negative(f.aim_height)}});
}

}  // namespace lumora
