// How much room a text takes in the picture, so that labels can be placed
// clear of each other and long lines broken before the page's edge. The
// picture does not know the font its viewer will use; the estimates are on
// the wide side of the fonts it names (digits take 0.64 of the font size,
// every other character 0.6, bold a tenth more), and the box reaches 0.8 of
// the font size above the baseline and 0.25 below.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace lumora {

constexpr double TEXT_ASCENT = 0.8;
constexpr double TEXT_DESCENT = 0.25;

enum class Anchor { start, middle, end };

// Its SVG name: "start", "middle" or "end".
const char* anchor_name(Anchor anchor);

struct Box {
    double left;
    double top;
    double right;
    double bottom;
};

// The estimated width of text in pixels. Every byte counts as a character,
// so a character of several bytes counts for more than it takes.
double text_width(const std::string& text, double font_size, bool bold);

// The box of a text written at (x, y), y its baseline.
Box text_box(double x, double y, const std::string& text, double font_size, bool bold, Anchor anchor);

// True when the two boxes share more than their edges.
bool boxes_overlap(const Box& a, const Box& b);

// The text broken into lines no wider than width: at blanks where a line
// can end there, else inside a word that alone is wider; never inside a
// character of several bytes. The blanks at the breaks are dropped. Always
// at least one line.
std::vector<std::string> wrap_text(const std::string& text, double width, double font_size, bool bold);

// Labels placed inside a view, clear of each other.
struct LabelPlacement {
    Box area;                // where labels should lie and what they name must lie, in pixels
    std::vector<Box> taken;  // the labels placed so far
};

// A position tried for a label: its offset from the point it names, and
// how it is anchored there.
struct LabelSpot {
    double dx;
    double dy;
    Anchor anchor;
};

// The first of the spots around (x, y) at which the label lies within the
// area and clear of the labels placed so far, else the first one that is
// only clear of them; its box is taken. Returns false, taking nothing, when
// (x, y) lies outside the area or every spot would overlap a label.
bool place_label(LabelPlacement& placement, double x, double y, const std::string& text, double font_size,
                 bool bold, const LabelSpot* spots, std::size_t spot_count, LabelSpot& chosen);

}  // namespace lumora
