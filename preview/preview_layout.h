// How the preview's two views map metres to pixels: the ranges they show,
// their tick steps and their scales.
#pragma once

#include <cstdint>
#include <string>

#include "lights/ground_view.h"

namespace lumora {

constexpr double PLOT_LEFT_MIN = 80.0;  // pixels left of both views, for the tick labels and the axis titles
constexpr double PLOT_RIGHT_MARGIN = 40.0;  // right of the views, for the last tick label
// The picture's width: the views take all of it but for the margins, so
// that it can be shown narrow enough to stay beside a form and its smallest
// text is still readable.
constexpr double PICTURE_WIDTH = 800.0;
constexpr double TICK_FONT = 13.0;
constexpr double AXIS_TITLE_FONT = 13.0;

// The titles of the views' upright axes, written along them.
constexpr char SIDE_AXIS_TITLE[] = "y: height (m)";
constexpr char TOP_AXIS_TITLE[] = "x: to the right wing (m)";

struct Range {
    double low;
    double high;
};

// A view maps metres to pixels: horizontal z, upright y (side view, upwards)
// or x (top view, downwards: seen from above with the nose to the right, the
// right wing lies below the aircraft's axis).
struct View {
    Range z;
    Range v;
    double step_z;
    double step_v;
    double scale_z;    // pixels per metre along z, the same in both views
    double scale_v;    // and upright: scale_z, or less where the view would grow too tall
    bool v_downwards;  // v grows downwards
    double label_width;  // of the widest tick label upright in either view, in pixels
    double left;
    double top;
    double width;
    double height;
};

inline double px(const View& view, double z) { return view.left + (z - view.z.low) * view.scale_z; }
inline double py(const View& view, double v)
{
    return view.v_downwards ? view.top + (v - view.v.low) * view.scale_v : view.top + (view.v.high - v) * view.scale_v;
}

// True when the view shows both axes at one scale.
inline bool to_scale(const View& view) { return view.scale_v == view.scale_z; }

// 1, 2 or 5 times a power of ten, near span / count.
double nice_step(double span, double count);

// The number of steps between the ends of a range rounded out to whole steps.
std::uint32_t step_count(const Range& range, double step);

// The tick label of value on an axis with this step.
std::string tick_label(double value, double step);

// The side view (y against z) and the top view (x against z) that show
// everything in the geometry. Both views share z, which fills the plot's
// width unless a view would grow too tall. They show both axes at one scale
// while that leaves the views a readable width; otherwise they keep that
// width and a view too tall at its scale gets a smaller scale upright (and
// says so). Tick steps leave the labels room. Their left edge leaves room for the
// tick labels and the axis titles; their tops are left at 0 for the page to
// set.
void lay_out_views(const GroundView& geometry, View& side, View& top);

// Where the tick labels upright end, right-aligned, left of the view.
double tick_label_right(const View& view);

// Where the upright axis's title stands, written upwards: the x of its
// baseline, clear of the tick labels.
double axis_title_x(const View& view);

}  // namespace lumora
