#include "lights/ground_view.h"

#include <cmath>

#include "basics/angles.h"
#include "basics/portable_math.h"

namespace lumora {

namespace {

double to_degrees(double radians) { return rad_to_deg(radians); }

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
    light.pitch_deg = to_degrees(values.pitch);
    light.inclination_deg = -to_degrees(values.inclination);
    light.max_range = values.max_range;
    light.position = {values.lat_offset, values.z_offset, values.lon_offset};
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

}  // namespace lumora
