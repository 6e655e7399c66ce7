// How the preview's two views map metres to pixels: the ranges they show,
// their tick steps and the common scale.
#pragma once

#include <cstdint>

#include "lights/ground_view.h"

namespace lumora {

constexpr double PLOT_LEFT = 80.0;  // pixels left of both views, for the tick labels

struct Range {
    double low;
    double high;
};

// A view maps metres to pixels: horizontal z, vertical y (side) or x (top).
struct View {
    Range z;
    Range v;
    double step_z;
    double step_v;
    double scale;  // pixels per metre, the same both ways
    double left;
    double top;
    double width;
    double height;
};

inline double px(const View& view, double z) { return view.left + (z - view.z.low) * view.scale; }
inline double py(const View& view, double v) { return view.top + (view.v.high - v) * view.scale; }

// 1, 2 or 5 times a power of ten, near span / count.
double nice_step(double span, double count);

// The number of steps between the ends of a range rounded out to whole steps.
std::uint32_t step_count(const Range& range, double step);

// The decimals that a tick label needs at this step (0 to 9).
int tick_decimals(double step);

// The side view (y against z) and the top view (x against z) that show
// everything in the geometry: z fills the plot's width unless a view would
// grow too tall, and both use the same pixels per metre. Their left edge is
// PLOT_LEFT; their tops are left at 0 for the page to set.
void lay_out_views(const GroundView& geometry, View& side, View& top);

}  // namespace lumora
