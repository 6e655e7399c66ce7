#include "web/light_figures.h"

#include <algorithm>
#include <cmath>

#include "basics/number_text.h"

namespace lumora {

namespace {

// The distance ahead over the ground line from the ground point square below
// from to the point at: along the ground line's direction (0, -slope, 1),
// normalised.
double ahead_over_ground(const GroundView& geometry, const Point3& from, const Point3& at)
{
    const double length = std::sqrt(1.0 + geometry.slope * geometry.slope);
    return ((at.z - from.z) - geometry.slope * (at.y - from.y)) / length;
}

std::string metres(double value) { return fixed_text(value, 0, 1) + " m"; }

// A distance sideways in words: "2.6 m right", "1.0 m left", "0.0 m".
std::string sideways(double x)
{
    const std::string amount = fixed_text(std::fabs(x), 0, 1) + " m";
    return x > 0.0 ? amount + " right" : x < 0.0 ? amount + " left" : amount;
}

}  // namespace

LightFigures light_figures(const GroundView& geometry, unsigned index)
{
    LightFigures figures{};
    const LightOnGround& light = geometry.lights[index];
    if (!light.computed) {
        figures.state = LitState::not_computed;
        return figures;
    }
    if (!light.lit) {
        const double above = light.position.y - ground_height(geometry, light.position.z);
        figures.state = above > 0.0 ? LitState::beam_not_down : LitState::light_not_above_ground;
        return figures;
    }
    figures.state = LitState::lit;
    figures.nearest = figures.leftmost = HUGE_VAL;
    figures.farthest = figures.rightmost = -HUGE_VAL;
    for (const Point3& point : light.lit_area) {
        const double ahead = ahead_over_ground(geometry, light.position, point);
        figures.nearest = std::min(figures.nearest, ahead);
        figures.farthest = std::max(figures.farthest, ahead);
        figures.leftmost = std::min(figures.leftmost, point.x);
        figures.rightmost = std::max(figures.rightmost, point.x);
    }
    figures.aim_ahead = ahead_over_ground(geometry, light.position, light.aim);
    figures.aim_x = light.aim.x;
    return figures;
}

std::string light_figures_text(const LightFigures& figures)
{
    switch (figures.state) {
    case LitState::not_computed:
        return "not computed";
    case LitState::beam_not_down:
        return "lights no ground: with the aircraft on its gear the beam points level or up";
    case LitState::light_not_above_ground:
        return "lights no ground: the light is not above the ground";
    case LitState::lit:
        break;
    }
    return "lit area " + fixed_text(figures.nearest, 0, 1) + " to " + metres(figures.farthest) +
           " ahead of the light, " + sideways(figures.leftmost) + " to " + sideways(figures.rightmost) +
           " of the aircraft's axis; aim point " + metres(figures.aim_ahead) + " ahead, " + sideways(figures.aim_x);
}

}  // namespace lumora
