#include "preview/preview_svg.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "basics/number_text.h"
#include "preview/preview_layout.h"
#include "preview/svg_output.h"
#include "preview/text_fit.h"

namespace lumora {

namespace {

constexpr double TEXT_RIGHT_MARGIN = 12.0;  // between any text and the page's right edge
constexpr double TEXT_FONT = 13.0;  // the picture's smallest text too
constexpr double NOTE_FONT = TEXT_FONT;
constexpr double LABEL_FONT = TEXT_FONT;
constexpr double LEGEND_ROW = 18.0;  // from one legend entry to the next
constexpr double WRAPPED_ROW = 15.5;  // from one line of a broken text to the next

const char LIGHT_COLOURS[3][8] = {"#d62728", "#1f77b4", "#2ca02c"};
const char GROUND_COLOUR[] = "#8c6d31";
// The notes on which side of the top view is which wing.
const char SIDE_NOTE_ATTRIBUTES[] = "class=\"x-side\" fill=\"#444444\"";

struct Pixel {
    double x;
    double y;
};

// Where texts may reach: the page's width less a margin.
struct Page {
    double width;
    double text_right() const { return width - TEXT_RIGHT_MARGIN; }
};

// Writes text from (x, y), broken into lines that end before the page's
// text edge, one below the other, at this font size (not written out when
// it is the inherited TEXT_FONT). Returns the last line's baseline.
double write_paragraph(std::string& svg, const Page& page, double x, double y, double font_size, bool bold,
                       const std::string& attributes, const std::string& text, const char* first_line_id = nullptr)
{
    const double row = font_size <= TEXT_FONT ? WRAPPED_ROW : font_size * 1.25;
    std::string all = attributes;
    if (font_size != TEXT_FONT) {
        all += formatted("%sfont-size=\"%g\"", all.empty() ? "" : " ", font_size);
    }
    if (bold) {
        all += std::string(all.empty() ? "" : " ") + "font-weight=\"bold\"";
    }
    const std::vector<std::string> lines = wrap_text(text, page.text_right() - x, font_size, bold);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            y += row;
        }
        const std::string line_attributes =
            i == 0 && first_line_id != nullptr ? formatted("id=\"%s\" ", first_line_id) + all : all;
        write_text(svg, x, y, line_attributes.c_str(), lines[i].c_str());
    }
    return y;
}

// The frame, grid, tick labels and axis titles of a view, and its clip path.
// A tick label that would run into the one before it is left out: the steps
// are chosen so that none does. Returns the baseline of the title under the
// view, or of the tick labels under it when the view has no title of z (the
// views share z: the lower one names it).
double write_axes(std::string& svg, const View& view, const char* id, const char* v_title, bool z_title)
{
    const double right = view.left + view.width;
    const double bottom = view.top + view.height;
    append_format(svg, "<clipPath id=\"%s-clip\"><rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"%.2f\"/></clipPath>\n",
                  id, view.left, view.top, view.width, view.height);
    svg += "<g class=\"grid\" stroke=\"#dddddd\" stroke-width=\"1\">\n";
    const std::uint32_t z_ticks = step_count(view.z, view.step_z);
    const std::uint32_t v_ticks = step_count(view.v, view.step_v);
    for (std::uint32_t i = 0; i <= z_ticks; ++i) {
        const double x = px(view, view.z.low + static_cast<double>(i) * view.step_z);
        write_line(svg, x, view.top, x, bottom, "");
    }
    for (std::uint32_t i = 0; i <= v_ticks; ++i) {
        const double y = py(view, view.v.low + static_cast<double>(i) * view.step_v);
        write_line(svg, view.left, y, right, y, "");
    }
    svg += "</g>\n";
    append_format(svg,
                  "<rect class=\"frame\" x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"%.2f\" fill=\"none\" "
                  "stroke=\"#444444\"/>\n",
                  view.left, view.top, view.width, view.height);
    append_format(svg, "<g class=\"tick-labels\" font-size=\"%g\" fill=\"#333333\">\n", TICK_FONT);
    // The labels of one axis's ticks, at the pixel position place gives a
    // value; at each label that would run into the one before, that label
    // is left out.
    const auto write_tick_labels = [&svg](const Range& range, double step, std::uint32_t ticks, Anchor anchor,
                                          const char* attributes, auto&& place) {
        std::optional<Box> last;
        for (std::uint32_t i = 0; i <= ticks; ++i) {
            const double value = range.low + static_cast<double>(i) * step;
            const std::string label = tick_label(value, step);
            const Pixel at = place(value);
            const Box box = text_box(at.x, at.y, label, TICK_FONT, false, anchor);
            if (!last || !boxes_overlap(box, *last)) {
                write_text(svg, at.x, at.y, attributes, label.c_str());
                last = box;
            }
        }
    };
    write_tick_labels(view.z, view.step_z, z_ticks, Anchor::middle, "text-anchor=\"middle\"",
                      [&](double z) { return Pixel{px(view, z), bottom + 18}; });
    write_tick_labels(view.v, view.step_v, v_ticks, Anchor::end, "text-anchor=\"end\"",
                      [&](double v) { return Pixel{tick_label_right(view), py(view, v) + 4}; });
    svg += "</g>\n";
    if (z_title) {
        write_text(svg, view.left + view.width / 2, bottom + 34, "text-anchor=\"middle\"",
                   "z: along the aircraft, forwards (m)");
    }
    append_format(svg, "<text x=\"0\" y=\"0\" transform=\"translate(%.2f %.2f) rotate(-90)\" text-anchor=\"middle\">",
                  axis_title_x(view), view.top + view.height / 2);
    write_xml_text(svg, v_title);
    svg += "</text>\n";
    return z_title ? bottom + 34 : bottom + 18;
}

// The view's title; a view that does not show its axes at one scale says how
// much smaller it draws the upright one. Returns the last line's baseline.
double write_view_title(std::string& svg, const Page& page, const View& view, double y, const char* title,
                        const char* upright)
{
    std::string text = title;
    if (!to_scale(view)) {
        text += " (not to scale: " + std::string(upright) + " drawn " + fixed_text(view.scale_z / view.scale_v, 0, 1) +
                " times smaller than z)";
    }
    return write_paragraph(svg, page, view.left, y, 14, true, "class=\"view-title\"", text);
}

void write_light_marker(std::string& svg, double x, double y, const char* colour)
{
    append_format(svg, "<circle class=\"light-position\" cx=\"%.2f\" cy=\"%.2f\" r=\"4.5\" fill=\"%s\" stroke=\"black\"/>\n",
                  clamp_pixel(x), clamp_pixel(y), colour);
}

// The light's number beside its position, so that lights can be told apart
// without their colours: above left of it where that is free, else at the
// first free place around it. Lights at one place get their numbers side by
// side.
void write_light_label(std::string& svg, LabelPlacement& labels, double x, double y, unsigned number,
                       const char* colour)
{
    constexpr LabelSpot spots[] = {
        {-7, -6, Anchor::end},   {7, -6, Anchor::start},  {-7, 14, Anchor::end},   {7, 14, Anchor::start},
        {-16, -6, Anchor::end},  {16, -6, Anchor::start}, {-16, 14, Anchor::end},  {16, 14, Anchor::start},
        {-7, -19, Anchor::end},  {7, -19, Anchor::start}, {-7, 27, Anchor::end},   {7, 27, Anchor::start},
        {-7, -32, Anchor::end},  {7, -32, Anchor::start}, {-7, 40, Anchor::end},   {7, 40, Anchor::start},
    };
    const std::string text = std::to_string(number);
    LabelSpot spot{};
    if (place_label(labels, x, y, text, LABEL_FONT, true, spots, sizeof spots / sizeof spots[0], spot)) {
        append_format(svg,
                      "<text x=\"%.2f\" y=\"%.2f\" font-size=\"%g\" font-weight=\"bold\" fill=\"%s\" "
                      "text-anchor=\"%s\">%u</text>\n",
                      x + spot.dx, y + spot.dy, LABEL_FONT, colour, anchor_name(spot.anchor), number);
    }
}

void write_gear_label(std::string& svg, LabelPlacement& labels, double x, double y, const char* name)
{
    constexpr LabelSpot spots[] = {
        {0, 17, Anchor::middle}, {0, -9, Anchor::middle}, {9, 4, Anchor::start},   {-9, 4, Anchor::end},
        {0, 30, Anchor::middle}, {0, -22, Anchor::middle}, {0, 43, Anchor::middle}, {0, -35, Anchor::middle},
    };
    LabelSpot spot{};
    if (place_label(labels, x, y, name, LABEL_FONT, false, spots, sizeof spots / sizeof spots[0], spot)) {
        const std::string attributes = formatted("class=\"gear-label\" text-anchor=\"%s\" font-size=\"%g\"",
                                                 anchor_name(spot.anchor), LABEL_FONT);
        write_text(svg, x + spot.dx, y + spot.dy, attributes.c_str(), name);
    }
}

void write_aim_marker(std::string& svg, double x, double y, const char* colour)
{
    const std::string attributes = formatted("class=\"aim-point\" stroke=\"%s\" stroke-width=\"2.5\"", colour);
    write_line(svg, x - 5, y - 5, x + 5, y + 5, attributes.c_str());
    write_line(svg, x - 5, y + 5, x + 5, y - 5, attributes.c_str());
}

// The beam from the light to its aim point; where the ground line comes
// first (the aircraft stands at another pitch than the light's), the rest
// behind the ground is dashed.
void write_beam(std::string& svg, const LightOnGround& light, Pixel from, Pixel hit, Pixel aim, const char* colour)
{
    std::string attributes = formatted("class=\"beam\" stroke=\"%s\" stroke-width=\"2\"", colour);
    if (!meets_ground_before_aim(light)) {
        write_line(svg, from.x, from.y, aim.x, aim.y, attributes.c_str());
        return;
    }
    write_line(svg, from.x, from.y, hit.x, hit.y, attributes.c_str());
    attributes = formatted("class=\"beam-below-ground\" stroke=\"%s\" stroke-width=\"1.5\" stroke-dasharray=\"4 3\"",
                           colour);
    write_line(svg, hit.x, hit.y, aim.x, aim.y, attributes.c_str());
}

// How a light's marks are inked: the prefix of its group's id and the
// opacities of its lit area (a stretch of ground line, an outline filled).
// The lights before the changes are faint by their paint's own opacity,
// 0.3 of the new lights' (their group sets it for the marks that set none):
// an opacity of the whole group would have a viewer draw the group aside
// and blend it in, again at every redraw of the picture around it.
struct LightInk {
    const char* id_prefix;
    const char* lit_line;
    const char* lit_fill;
};
constexpr LightInk NEW_INK{"", "0.45", "0.25"};
constexpr LightInk FAINT_INK{"before-", "0.135", "0.075"};

// Each computed light of geometry in a group of its own: its lit area (in
// the side view its stretch of the ground line, from the nearest to the
// farthest point; in the top view its outline), beam, aim point, position
// and, with labels, its number. The side view draws y upright, the top view
// x; labels null: no numbers beside them.
void write_lights(std::string& svg, const View& view, LabelPlacement* labels, const GroundView& geometry,
                  const LightInk& ink, bool side)
{
    double Point3::*const upright = side ? &Point3::y : &Point3::x;
    const auto pixel = [&](const Point3& p) { return Pixel{px(view, p.z), py(view, p.*upright)}; };
    const auto by_z = [](const Point3& a, const Point3& b) { return a.z < b.z; };
    for (unsigned i = 0; i < geometry.light_count; ++i) {
        const LightOnGround& light = geometry.lights[i];
        if (!light.computed) {
            continue;
        }
        const char* colour = LIGHT_COLOURS[i];
        append_format(svg, "<g class=\"light\" id=\"%slight-%u-%s\">\n", ink.id_prefix, i + 1, side ? "side" : "top");
        if (light.lit && side) {
            const double nearest = std::min_element(std::begin(light.lit_area), std::end(light.lit_area), by_z)->z;
            const double farthest = std::max_element(std::begin(light.lit_area), std::end(light.lit_area), by_z)->z;
            const std::string lit = formatted(
                "class=\"lit-area\" stroke=\"%s\" stroke-width=\"7\" stroke-opacity=\"%s\"", colour, ink.lit_line);
            write_line(svg, px(view, nearest), py(view, ground_height(geometry, nearest)), px(view, farthest),
                       py(view, ground_height(geometry, farthest)), lit.c_str());
        } else if (light.lit) {
            append_format(svg, "<polygon class=\"lit-area\" fill=\"%s\" fill-opacity=\"%s\" stroke=\"%s\" points=\"",
                          colour, ink.lit_fill, colour);
            for (unsigned k = 0; k < OUTLINE_POINTS; ++k) {
                if (k != 0) {
                    svg += ' ';
                }
                append_pixel(svg, px(view, light.lit_area[k].z));
                svg += ',';
                append_pixel(svg, py(view, light.lit_area[k].x));
            }
            svg += "\"/>\n";
        }
        const Pixel position = pixel(light.position);
        const Pixel aim = pixel(light.aim);
        write_beam(svg, light, position, pixel(light.ground_hit), aim, colour);
        write_aim_marker(svg, aim.x, aim.y, colour);
        write_light_marker(svg, position.x, position.y, colour);
        if (labels != nullptr) {
            write_light_label(svg, *labels, position.x, position.y, i + 1, colour);
        }
        svg += "</g>\n";
    }
}

// A view's content, clipped to it. The side view shows height y against z:
// the ground line, the gear, and per light its position, beam, aim point and
// lit stretch of ground. The top view, seen from above with the nose to the
// right, shows x against z: per light its position, beam, aim point and lit
// area; the right wing lies below the axis. Both show the aircraft's axis
// and, faintly, the lights before the changes.
void write_view_content(std::string& svg, const View& view, const GroundView& geometry, const GroundView* before,
                        bool side)
{
    append_format(svg, "<g clip-path=\"url(#%s-clip)\">\n", side ? "side" : "top");
    if (side) {
        const Pixel left{px(view, view.z.low), py(view, ground_height(geometry, view.z.low))};
        const Pixel right{px(view, view.z.high), py(view, ground_height(geometry, view.z.high))};
        const double bottom = view.top + view.height;
        append_format(svg, "<polygon class=\"ground-fill\" fill=\"#efe4cf\" points=\"%.2f,%.2f %.2f,%.2f %.2f,%.2f %.2f,%.2f\"/>\n",
                      clamp_pixel(left.x), clamp_pixel(left.y), clamp_pixel(right.x), clamp_pixel(right.y),
                      clamp_pixel(right.x), clamp_pixel(std::fmax(bottom, right.y) + 1), clamp_pixel(left.x),
                      clamp_pixel(std::fmax(bottom, left.y) + 1));
        const std::string ground = formatted("id=\"ground-line\" stroke=\"%s\" stroke-width=\"2\"", GROUND_COLOUR);
        write_line(svg, left.x, left.y, right.x, right.y, ground.c_str());
    }
    write_line(svg, px(view, view.z.low), py(view, 0), px(view, view.z.high), py(view, 0),
               "class=\"model-axis\" stroke=\"#888888\" stroke-dasharray=\"6 4\"");
    LabelPlacement labels{{view.left, view.top, view.left + view.width, view.top + view.height}, {}};
    if (side && geometry.gear_given) {
        const Point3* gears[2] = {&geometry.main_gear, &geometry.other_gear};
        const char* names[2] = {"main gear", geometry.other_gear_is_tail ? "tail gear" : "nose gear"};
        for (int g = 0; g < 2; ++g) {
            const double x = px(view, gears[g]->z);
            const double y = py(view, gears[g]->y);
            append_format(svg, "<circle class=\"gear\" cx=\"%.2f\" cy=\"%.2f\" r=\"5\" fill=\"black\"/>\n",
                          clamp_pixel(x), clamp_pixel(y));
            write_gear_label(svg, labels, x, y, names[g]);
        }
    }
    if (before != nullptr) {
        svg += "<g class=\"before\" fill-opacity=\"0.3\" stroke-opacity=\"0.3\">\n";
        write_lights(svg, view, nullptr, *before, FAINT_INK, side);
        svg += "</g>\n";
    }
    write_lights(svg, view, &labels, geometry, NEW_INK, side);
    svg += "</g>\n";
}

// A bar of a round length with its length written beside it; with the
// common scale given up in either view it holds for z alone. Returns the
// baseline of that text.
double write_scale_bar(std::string& svg, double x, double y, const View& view, bool common)
{
    const double metres = nice_step(view.width / view.scale_z, 5.0);
    const double length = metres * view.scale_z;
    svg += "<g id=\"scale-bar\">\n";
    append_format(svg, "<rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"6\" fill=\"black\"/>\n", x, y, length);
    const char* along = common ? "" : " along z";
    const std::string text = formatted("%g m%s", metres, along);
    write_text(svg, x + length + 8, y + 7, "", text.c_str());
    svg += "</g>\n";
    return y + 7;
}

// Where the legend's texts start, right of their symbols.
constexpr double LEGEND_TEXT = 32.0;
constexpr double AIM_TEXT = 88.0;
const char AIM_LEGEND[] = "aim point: MaxRange ahead and the light's height below it, at the light's pitch";
const char LIT_LEGEND[] = "lit area: the spot outline carried along the beam to the ground line";
const char BEFORE_LEGEND[] = "faint: the lights as they were before the changes";
const char DASHED_LEGEND[] = "dashed: the beam on behind the point where it meets the ground line";
const char FAINT_FILL[] = "fill=\"#444444\" fill-opacity=\"0.3\"";

// Per light its values and where its lit area lies, the ground line, the
// marks, and the notes on the values. Returns the last line's baseline.
double write_legend(std::string& svg, const Page& page, double left, double top, const GroundView& geometry,
                    const PreviewCaption& caption)
{
    append_format(svg, "<g id=\"legend\" font-size=\"%g\">\n", TEXT_FONT);
    const double text_x = left + LEGEND_TEXT;
    const auto paragraph = [&](double x, double y, const char* attributes, const std::string& text) {
        return write_paragraph(svg, page, x, y, TEXT_FONT, false, attributes, text);
    };
    const auto swatch = [&](double y, const std::string& fill) {
        append_format(svg, "<rect x=\"%.2f\" y=\"%.2f\" width=\"24\" height=\"10\" %s/>\n", left, y - 9, fill.c_str());
    };
    double y = top;
    for (unsigned i = 0; i < geometry.light_count; ++i) {
        const LightOnGround& light = geometry.lights[i];
        swatch(y, formatted("fill=\"%s\"", LIGHT_COLOURS[i]));
        y = paragraph(text_x, y, "class=\"legend-light\"",
                      light.computed ? formatted("Light %u: pitch=%.2f degrees, beam inclination=%.2f degrees, "
                                                 "MaxRange %g m",
                                                 i + 1, light.pitch_deg, light.inclination_deg, light.max_range)
                                     : formatted("Light %u: not computed", i + 1));
        y = paragraph(text_x, y + WRAPPED_ROW, "class=\"legend-lit-area\" fill=\"#333333\"",
                      lit_area_description(lit_area_figures(geometry, i)));
        y += LEGEND_ROW;
    }
    append_format(svg, "<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\" stroke=\"%s\" stroke-width=\"2\"/>\n",
                  left, y - 4, left + 24, y - 4, GROUND_COLOUR);
    y = paragraph(text_x, y, "",
                  geometry.gear_given ? "Ground line: ground pitch " + fixed_text(geometry.ground_pitch_deg, 0, 2) +
                                            " degrees, through the main gear contact point"
                                      : "Ground line: gear not given, level through the model's origin") +
        LEGEND_ROW;
    write_light_marker(svg, left + 6, y - 4, "white");
    write_text(svg, left + 16, y, "", "light");
    write_aim_marker(svg, left + 76, y - 4, "#444444");
    y = paragraph(left + AIM_TEXT, y, "", AIM_LEGEND) + LEGEND_ROW;
    swatch(y, FAINT_FILL);
    y = paragraph(text_x, y, "", LIT_LEGEND);
    if (std::any_of(geometry.lights, geometry.lights + geometry.light_count, meets_ground_before_aim)) {
        y += LEGEND_ROW;
        write_line(svg, left, y - 4, left + 24, y - 4,
                   "stroke=\"#444444\" stroke-width=\"1.5\" stroke-dasharray=\"4 3\"");
        y = paragraph(text_x, y, "", DASHED_LEGEND);
    }
    if (caption.before != nullptr) {
        y += LEGEND_ROW;
        swatch(y, FAINT_FILL);
        y = paragraph(text_x, y, "class=\"legend-before\"", BEFORE_LEGEND);
    }
    for (const std::string& note : caption.notes) {
        y += LEGEND_ROW;
        write_text(svg, left + 8, y, "font-weight=\"bold\" fill=\"#a04000\"", "!");
        y = paragraph(text_x, y, "class=\"legend-note\" fill=\"#a04000\"", "Note: " + note);
    }
    svg += "</g>\n";
    return y;
}

// The picture's subtitle: what it shows and at which scale; a scale that
// is not the same for both axes is said on a line of its own. Returns the
// last line's baseline.
double write_subtitle(std::string& svg, const Page& page, double left, double y, const GroundView& geometry,
                      const View& side, const View& top)
{
    const auto paragraph = [&](double at, const std::string& text) {
        return write_paragraph(svg, page, left, at, TEXT_FONT, false, "fill=\"#444444\"", text);
    };
    const std::string text = formatted("%u light%s, in the model's axes; ", geometry.light_count,
                                       geometry.light_count == 1 ? "" : "s");
    if (to_scale(side) && to_scale(top)) {
        return paragraph(y, text + "both views in metres at the same scale, the aircraft's nose to the right");
    }
    const char* which = !to_scale(side) && !to_scale(top) ? "both views draw their upright axes"
                        : !to_scale(side)                  ? "the side view draws y"
                                                           : "the top view draws x";
    y = paragraph(y, text + "views in metres, the aircraft's nose to the right;");
    return paragraph(y + WRAPPED_ROW, std::string("NOT TO SCALE: ") + which + " smaller than z (see the view titles)");
}

}  // namespace

std::string preview_svg(const GroundView& geometry, const PreviewCaption& caption)
{
    View side{};
    View top{};
    lay_out_views(geometry, side, top);
    const double left = side.left;
    // The page is as wide as the picture is meant to be, or as the views
    // need; legend lines, titles and notes that do not fit are broken.
    const Page page{std::fmax(PICTURE_WIDTH, left + side.width + PLOT_RIGHT_MARGIN)};

    std::string body;
    double y = write_paragraph(body, page, left, 24, 18, true, "",
                               std::string("Landing lights of ") + caption.definition_name, "title");
    y = write_subtitle(body, page, left, y + 20, geometry, side, top);
    if (!caption.complete) {
        y = write_paragraph(body, page, left, y + 22, 14, true, "fill=\"#b00000\"",
                            "INCOMPLETE: the definition file has errors; this shows only what could be computed.",
                            "incomplete");
    }

    y = write_view_title(body, page, side, y + 20, "Side view", "y");
    side.top = y + 10;
    y = write_axes(body, side, "side", SIDE_AXIS_TITLE, false);
    write_view_content(body, side, geometry, caption.before, true);

    y = write_view_title(body, page, top, y + 30, "Top view, from above", "x");
    y = write_paragraph(body, page, left, y + 17, NOTE_FONT, false, SIDE_NOTE_ATTRIBUTES,
                        "Above the axis: the left wing's side (x < 0; LatOffset or Direction negative).");
    top.top = y + 9;
    y = write_axes(body, top, "top", TOP_AXIS_TITLE, true);
    y = write_paragraph(body, page, left, y + 18, NOTE_FONT, false, SIDE_NOTE_ATTRIBUTES,
                        "Below the axis: the right wing's side (x > 0; LatOffset or Direction positive).");
    write_view_content(body, top, geometry, caption.before, false);

    y = write_legend(body, page, left, y + 26, geometry, caption);
    y = write_scale_bar(body, left, y + 16, side, to_scale(side) && to_scale(top));
    const double page_height = std::ceil(y + 16);

    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    append_format(svg,
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" viewBox=\"0 0 %.0f %.0f\" "
                  "font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"%g\">\n",
                  std::ceil(page.width), page_height, std::ceil(page.width), page_height, TEXT_FONT);
    svg += "<title>Landing-light preview of ";
    write_xml_text(svg, caption.definition_name);
    svg += "</title>\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    svg += body;
    svg += "</svg>\n";
    return svg;
}

}  // namespace lumora
