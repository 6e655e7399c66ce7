#include "preview/preview_layout.h"

#include <cmath>

#include "basics/whole_number.h"

namespace lumora {

namespace {

constexpr double PLOT_WIDTH = 840.0;
constexpr double VIEW_HEIGHT_MAX = 400.0;
constexpr double VIEW_HEIGHT_MIN = 110.0;
constexpr double TICKS_ALONG = 8.0;   // about this many steps along z
constexpr double TICKS_ACROSS = 5.0;  // and up or across
// Points farther than this from the model's origin do not widen the views;
// they are clipped at the plot's edge.
constexpr double FARTHEST_SHOWN = 10000.0;

void widen(Range& range, double value)
{
    if (std::isfinite(value) && std::fabs(value) <= FARTHEST_SHOWN) {
        range.low = value < range.low ? value : range.low;
        range.high = value > range.high ? value : range.high;
    }
}

// Leaves room around what the range holds: a share of it, at least a metre.
void add_margin(Range& range, double share)
{
    const double margin = std::fmax(1.0, share * (range.high - range.low));
    range.low -= margin;
    range.high += margin;
}

// Widens the range to whole steps.
void round_out(Range& range, double step)
{
    range.low = std::floor(range.low / step) * step;
    range.high = std::ceil(range.high / step) * step;
}

struct Extents {
    Range z;
    Range y;
    Range x;
};

void widen_all(Extents& e, const Point3& p)
{
    widen(e.z, p.z);
    widen(e.y, p.y);
    widen(e.x, p.x);
}

// Everything to be shown, the model's origin included.
Extents measure(const GroundView& geometry)
{
    Extents e = {{0, 0}, {0, 0}, {0, 0}};
    if (geometry.gear_given) {
        widen_all(e, geometry.main_gear);
        widen_all(e, geometry.other_gear);
    }
    for (unsigned i = 0; i < geometry.light_count; ++i) {
        const LightOnGround& light = geometry.lights[i];
        if (!light.computed) {
            continue;
        }
        widen_all(e, light.position);
        widen_all(e, light.aim);
        if (light.lit) {
            for (const Point3& p : light.lit_area) {
                widen_all(e, p);
            }
        }
    }
    return e;
}

// A view of a short range gets more of it, so that it is not too flat.
void give_height(View& view)
{
    const double missing = VIEW_HEIGHT_MIN / view.scale - (view.v.high - view.v.low);
    if (missing > 0) {
        view.v.low -= missing / 2;
        view.v.high += missing / 2;
        view.step_v = nice_step(view.v.high - view.v.low, TICKS_ACROSS);
        round_out(view.v, view.step_v);
    }
    view.height = (view.v.high - view.v.low) * view.scale;
}

// The powers of ten from 10^-30 to 10^30, each the double nearest to it (as
// the compiler reads the literal), so that the steps are the same on every
// platform, whatever its logarithm does in the last bit.
constexpr int POWER_LOWEST = -30;
constexpr double POWERS_OF_TEN[] = {
    1e-30, 1e-29, 1e-28, 1e-27, 1e-26, 1e-25, 1e-24, 1e-23, 1e-22, 1e-21, 1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15,
    1e-14, 1e-13, 1e-12, 1e-11, 1e-10, 1e-9,  1e-8,  1e-7,  1e-6,  1e-5,  1e-4,  1e-3,  1e-2,  1e-1,  1e0,   1e1,
    1e2,   1e3,   1e4,   1e5,   1e6,   1e7,   1e8,   1e9,   1e10,  1e11,  1e12,  1e13,  1e14,  1e15,  1e16,  1e17,
    1e18,  1e19,  1e20,  1e21,  1e22,  1e23,  1e24,  1e25,  1e26,  1e27,  1e28,  1e29,  1e30,
};
constexpr int POWER_COUNT = sizeof POWERS_OF_TEN / sizeof POWERS_OF_TEN[0];

double power_of_ten(int exponent) { return POWERS_OF_TEN[exponent - POWER_LOWEST]; }

// The largest power of ten at or below x (x > 0; held within the table).
double power_of_ten_below(double x)
{
    int index = POWER_COUNT - 1;
    while (index > 0 && POWERS_OF_TEN[index] > x) {
        --index;
    }
    return POWERS_OF_TEN[index];
}

}  // namespace

double nice_step(double span, double count)
{
    const double raw = span / count;
    if (!(raw > 0.0) || !std::isfinite(raw)) {
        return 1.0;
    }
    const double power = power_of_ten_below(raw);
    const double fraction = raw / power;
    return (fraction < 1.5 ? 1.0 : fraction < 3.5 ? 2.0 : fraction < 7.5 ? 5.0 : 10.0) * power;
}

std::uint32_t step_count(const Range& range, double step)
{
    return low_bits_of_whole((range.high - range.low) / step + 0.5);
}

int tick_decimals(double step)
{
    if (step >= 1.0) {
        return 0;
    }
    // The fewest decimals d that show the step, 10^-d <= step (within a
    // hair, for steps a rounding below a power of ten).
    int decimals = 0;
    while (decimals < 9 && step < power_of_ten(-decimals) * (1.0 - 1e-9)) {
        ++decimals;
    }
    return decimals;
}

void lay_out_views(const GroundView& geometry, View& side, View& top)
{
    Extents e = measure(geometry);
    add_margin(e.z, 0.04);
    const double step_z = nice_step(e.z.high - e.z.low, TICKS_ALONG);
    round_out(e.z, step_z);
    // The ground line runs across the whole side view.
    widen(e.y, ground_height(geometry, e.z.low));
    widen(e.y, ground_height(geometry, e.z.high));
    add_margin(e.y, 0.08);
    add_margin(e.x, 0.08);
    const double step_y = nice_step(e.y.high - e.y.low, TICKS_ACROSS);
    const double step_x = nice_step(e.x.high - e.x.low, TICKS_ACROSS);
    round_out(e.y, step_y);
    round_out(e.x, step_x);

    double scale = PLOT_WIDTH / (e.z.high - e.z.low);
    scale = std::fmin(scale, VIEW_HEIGHT_MAX / (e.y.high - e.y.low));
    scale = std::fmin(scale, VIEW_HEIGHT_MAX / (e.x.high - e.x.low));
    const double width = (e.z.high - e.z.low) * scale;
    side = View{e.z, e.y, step_z, step_y, scale, PLOT_LEFT, 0, width, 0};
    top = View{e.z, e.x, step_z, step_x, scale, PLOT_LEFT, 0, width, 0};
    give_height(side);
    give_height(top);
}

}  // namespace lumora
