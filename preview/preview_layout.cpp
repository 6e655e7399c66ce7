#include "preview/preview_layout.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "basics/formatted.h"
#include "basics/whole_number.h"
#include "preview/text_fit.h"

namespace lumora {

namespace {

constexpr double PLOT_WIDTH = PICTURE_WIDTH - PLOT_LEFT_MIN - PLOT_RIGHT_MARGIN;
constexpr double VIEW_HEIGHT_MAX = 190.0;
constexpr double VIEW_HEIGHT_MIN = 100.0;
// Narrower than this at one scale for both axes, the views give up the
// common scale as far as needed: they take this width (the whole plot), and
// a view too tall at that scale gets a smaller scale upright.
constexpr double COMMON_WIDTH_MIN = PLOT_WIDTH;
// A view then grows up to this much taller rather than give up the scale.
constexpr double TALLER_FOR_SCALE = 1.25;
constexpr double TICKS_ALONG = 8.0;   // about this many steps along z
constexpr double TICKS_ACROSS = 5.0;  // and up or across
// Room between two tick labels side by side, and from one label's baseline
// to the next above it.
constexpr double LABEL_GAP = 8.0;
constexpr double LABEL_ROW = (TEXT_ASCENT + TEXT_DESCENT) * TICK_FONT + 4.0;
// The tick labels upright end this far left of a view, and their axis's
// title keeps this far from them and from the page's edge.
constexpr double LABEL_TO_VIEW = 6.0;
constexpr double TITLE_TO_LABELS = 4.0;
constexpr double PAGE_MARGIN = 6.0;
// The steps grow until the labels fit; a few dozen doublings reach any span.
constexpr int STEP_ATTEMPTS = 64;
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

// A view of a short range gets more scale (where it was drawn smaller
// upright) or more of the range, so that it is not too flat, and is at
// least as tall as its axis's title is long.
void give_height(View& view, const char* axis_title)
{
    const double height_min = std::fmax(VIEW_HEIGHT_MIN, text_width(axis_title, AXIS_TITLE_FONT, false) + 12.0);
    // A view drawn smaller upright first takes back scale, up to z's.
    const double span = view.v.high - view.v.low;
    if (view.scale_v < view.scale_z && view.scale_v * span < height_min) {
        view.scale_v = std::fmin(view.scale_z, height_min / span);
    }
    const double missing = height_min / view.scale_v - (view.v.high - view.v.low);
    if (missing > 0) {
        view.v.low -= missing / 2;
        view.v.high += missing / 2;
        // A larger step only: the labels keep their room.
        view.step_v = std::fmax(view.step_v, nice_step(view.v.high - view.v.low, TICKS_ACROSS));
        round_out(view.v, view.step_v);
    }
    view.height = (view.v.high - view.v.low) * view.scale_v;
}

struct Scales {
    double z;
    double y;
    double x;
};

// A view's upright scale once the common scale is given up: z's scale where
// the view may grow a little taller for it, else the most its height allows.
double upright_scale(double along, double most) { return most * TALLER_FOR_SCALE >= along ? along : most; }

// One scale for everything while the views keep a readable width; else z
// takes that width and y and x what the height allows, at most z's scale.
Scales choose_scales(const Range& z, const Range& y, const Range& x)
{
    const double z_span = z.high - z.low;
    const double y_most = VIEW_HEIGHT_MAX / (y.high - y.low);
    const double x_most = VIEW_HEIGHT_MAX / (x.high - x.low);
    const double common = std::fmin(PLOT_WIDTH / z_span, std::fmin(y_most, x_most));
    if (common * z_span >= COMMON_WIDTH_MIN) {
        return {common, common, common};
    }
    const double along = COMMON_WIDTH_MIN / z_span;
    return {along, upright_scale(along, y_most), upright_scale(along, x_most)};
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

// The largest power of ten at or below x (x > 0; held within the table).
double power_of_ten_below(double x)
{
    const double* above = std::upper_bound(std::begin(POWERS_OF_TEN), std::end(POWERS_OF_TEN), x);
    return above == std::begin(POWERS_OF_TEN) ? POWERS_OF_TEN[0] : above[-1];
}

// The decimals that a tick label needs at this step (0 to 9).
int tick_decimals(double step)
{
    // The fewest decimals d that show the step, 10^-d <= step (within a
    // hair, for steps a rounding below a power of ten).
    int decimals = 0;
    while (decimals < 9 && step < POWERS_OF_TEN[-decimals - POWER_LOWEST] * (1.0 - 1e-9)) {
        ++decimals;
    }
    return decimals;
}

// The width in pixels of the widest tick label of the range at the step.
double widest_tick_label(const Range& range, double step)
{
    double widest = 0.0;
    const std::uint32_t ticks = step_count(range, step);
    for (std::uint32_t i = 0; i <= ticks; ++i) {
        const std::string label = tick_label(range.low + static_cast<double>(i) * step, step);
        widest = std::fmax(widest, text_width(label, TICK_FONT, false));
    }
    return widest;
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

std::string tick_label(double value, double step)
{
    // A tick at zero may be a hair below it and would print as "-0".
    const double shown = std::fabs(value) < step * 1e-6 ? 0.0 : value;
    return formatted("%.*f", tick_decimals(step), shown);
}

void lay_out_views(const GroundView& geometry, View& side, View& top)
{
    Extents e = measure(geometry);
    add_margin(e.z, 0.04);
    add_margin(e.x, 0.08);
    double step_z = nice_step(e.z.high - e.z.low, TICKS_ALONG);
    double step_y = 0.0;
    double step_x = nice_step(e.x.high - e.x.low, TICKS_ACROSS);
    Range z{};
    Range y{};
    Range x{};
    Scales scales{};
    // Each step grows until its labels have room at the scales the rounded
    // ranges give; a larger step can only widen a range by less than it
    // gains, so each axis comes to rest.
    for (int attempt = 0; attempt < STEP_ATTEMPTS; ++attempt) {
        z = e.z;
        round_out(z, step_z);
        // The ground line runs across the whole side view.
        y = e.y;
        widen(y, ground_height(geometry, z.low));
        widen(y, ground_height(geometry, z.high));
        add_margin(y, 0.08);
        if (step_y == 0.0) {
            step_y = nice_step(y.high - y.low, TICKS_ACROSS);
        }
        round_out(y, step_y);
        x = e.x;
        round_out(x, step_x);
        scales = choose_scales(z, y, x);

        bool crowded = false;
        const auto make_room = [&crowded](double& step, double scale, double room) {
            if (step * scale < room) {
                step = nice_step(step * 2.2, 1.0);  // the next larger step of 1, 2 or 5 times a power of ten
                crowded = true;
            }
        };
        make_room(step_z, scales.z, widest_tick_label(z, step_z) + LABEL_GAP);
        make_room(step_y, scales.y, LABEL_ROW);
        make_room(step_x, scales.x, LABEL_ROW);
        if (!crowded) {
            break;
        }
    }

    const double width = (z.high - z.low) * scales.z;
    side = View{z, y, step_z, step_y, scales.z, scales.y, false, 0, 0, 0, width, 0};
    top = View{z, x, step_z, step_x, scales.z, scales.x, true, 0, 0, 0, width, 0};
    give_height(side, SIDE_AXIS_TITLE);
    give_height(top, TOP_AXIS_TITLE);
    // Room for the labels and, left of them, the axes' titles written
    // upwards, at one place for both views.
    const double labels = std::fmax(widest_tick_label(side.v, side.step_v), widest_tick_label(top.v, top.step_v));
    const double title_depth = (TEXT_ASCENT + TEXT_DESCENT) * AXIS_TITLE_FONT;
    const double left = std::fmax(PLOT_LEFT_MIN, PAGE_MARGIN + title_depth + TITLE_TO_LABELS + labels + LABEL_TO_VIEW);
    for (View* view : {&side, &top}) {
        view->left = left;
        view->label_width = labels;
    }
}

double tick_label_right(const View& view) { return view.left - LABEL_TO_VIEW; }

double axis_title_x(const View& view)
{
    const double beside_labels =
        tick_label_right(view) - view.label_width - TITLE_TO_LABELS - TEXT_DESCENT * AXIS_TITLE_FONT;
    return std::fmin(view.left - 48.0, beside_labels);
}

}  // namespace lumora
