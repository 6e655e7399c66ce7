#include "preview/preview_svg.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstring>

#include "basics/number_text.h"
#include "preview/preview.h"
#include "preview/preview_layout.h"
#include "preview/svg_output.h"

namespace lumora {

namespace {

constexpr double PAGE_WIDTH_MIN = 800.0;  // pixels; the legend needs them

const char LIGHT_COLOURS[3][8] = {"#d62728", "#1f77b4", "#2ca02c"};
const char GROUND_COLOUR[] = "#8c6d31";

void write_number(std::string& svg, double value, double step)
{
    // A tick at zero may be a hair below it and would print as "-0".
    const double shown = std::fabs(value) < step * 1e-6 ? 0.0 : value;
    append_format(svg, "%.*f", tick_decimals(step), shown);
}

// The frame, grid, tick labels and axis titles of a view, and its clip path.
void write_axes(std::string& svg, const View& view, const char* id, const char* title, const char* v_title)
{
    const double right = view.left + view.width;
    const double bottom = view.top + view.height;
    append_format(svg, "<clipPath id=\"%s-clip\"><rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"%.2f\"/></clipPath>\n",
                 id, view.left, view.top, view.width, view.height);
    write_text(svg, view.left, view.top - 10, "font-size=\"14\" font-weight=\"bold\"", title);
    append_format(svg, "<g class=\"grid\" stroke=\"#dddddd\" stroke-width=\"1\">\n");
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
    append_format(svg, "<g class=\"tick-labels\" font-size=\"11\" fill=\"#333333\">\n");
    for (std::uint32_t i = 0; i <= z_ticks; ++i) {
        const double z = view.z.low + static_cast<double>(i) * view.step_z;
        append_format(svg, "<text x=\"%.2f\" y=\"%.2f\" text-anchor=\"middle\">", px(view, z), bottom + 15);
        write_number(svg, z, view.step_z);
        svg += "</text>\n";
    }
    for (std::uint32_t i = 0; i <= v_ticks; ++i) {
        const double v = view.v.low + static_cast<double>(i) * view.step_v;
        append_format(svg, "<text x=\"%.2f\" y=\"%.2f\" text-anchor=\"end\">", view.left - 6, py(view, v) + 4);
        write_number(svg, v, view.step_v);
        svg += "</text>\n";
    }
    svg += "</g>\n";
    write_text(svg, view.left + view.width / 2, bottom + 32, "text-anchor=\"middle\"",
               "z: along the aircraft, forwards (m)");
    append_format(svg, "<text x=\"0\" y=\"0\" transform=\"translate(%.2f %.2f) rotate(-90)\" text-anchor=\"middle\">",
                 view.left - 48, view.top + view.height / 2);
    write_xml_text(svg, v_title);
    svg += "</text>\n";
}

void write_light_marker(std::string& svg, double x, double y, const char* colour)
{
    append_format(svg, "<circle class=\"light-position\" cx=\"%.2f\" cy=\"%.2f\" r=\"4.5\" fill=\"%s\" stroke=\"black\"/>\n",
                 clamp_pixel(x), clamp_pixel(y), colour);
}

// The light's number beside its position, so that lights can be told apart
// without their colours.
void write_light_label(std::string& svg, double x, double y, unsigned number, const char* colour)
{
    append_format(svg, "<text x=\"%.2f\" y=\"%.2f\" font-size=\"11\" font-weight=\"bold\" fill=\"%s\" text-anchor=\"end\">%u</text>\n",
                 clamp_pixel(x - 7), clamp_pixel(y - 6), colour, number);
}

void write_aim_marker(std::string& svg, double x, double y, const char* colour)
{
    char attributes[96];
    std::snprintf(attributes, sizeof attributes, "class=\"aim-point\" stroke=\"%s\" stroke-width=\"2.5\"", colour);
    write_line(svg, x - 5, y - 5, x + 5, y + 5, attributes);
    write_line(svg, x - 5, y + 5, x + 5, y - 5, attributes);
}

// The beam from the light to its aim point; where the ground line comes
// first (the aircraft stands at another pitch than the light's), the rest
// behind the ground is dashed. project gives a point's pixel position.
struct Pixel {
    double x;
    double y;
};

void write_beam(std::string& svg, const LightOnGround& light, Pixel from, Pixel hit, Pixel aim, const char* colour)
{
    char attributes[128];
    std::snprintf(attributes, sizeof attributes, "class=\"beam\" stroke=\"%s\" stroke-width=\"2\"", colour);
    if (!meets_ground_before_aim(light)) {
        write_line(svg, from.x, from.y, aim.x, aim.y, attributes);
        return;
    }
    write_line(svg, from.x, from.y, hit.x, hit.y, attributes);
    std::snprintf(attributes, sizeof attributes,
                  "class=\"beam-below-ground\" stroke=\"%s\" stroke-width=\"1.5\" stroke-dasharray=\"4 3\"", colour);
    write_line(svg, hit.x, hit.y, aim.x, aim.y, attributes);
}

// The side view: height y against z, the ground line, the gear, and per light
// its position, beam, aim point and lit stretch of ground.
void write_side_view(std::string& svg, const View& view, const GroundView& geometry)
{
    write_axes(svg, view, "side", "Side view", "y: height (m)");
    svg += "<g clip-path=\"url(#side-clip)\">\n";
    const double z_left = view.z.low;
    const double z_right = view.z.high;
    const double bottom = view.top + view.height;
    append_format(svg, "<polygon class=\"ground-fill\" fill=\"#efe4cf\" points=\"%.2f,%.2f %.2f,%.2f %.2f,%.2f %.2f,%.2f\"/>\n",
                 clamp_pixel(px(view, z_left)), clamp_pixel(py(view, ground_height(geometry, z_left))),
                 clamp_pixel(px(view, z_right)), clamp_pixel(py(view, ground_height(geometry, z_right))),
                 clamp_pixel(px(view, z_right)), clamp_pixel(std::fmax(bottom, py(view, ground_height(geometry, z_right))) + 1),
                 clamp_pixel(px(view, z_left)), clamp_pixel(std::fmax(bottom, py(view, ground_height(geometry, z_left))) + 1));
    char attributes[128];
    std::snprintf(attributes, sizeof attributes, "id=\"ground-line\" stroke=\"%s\" stroke-width=\"2\"", GROUND_COLOUR);
    write_line(svg, px(view, z_left), py(view, ground_height(geometry, z_left)), px(view, z_right),
               py(view, ground_height(geometry, z_right)), attributes);
    write_line(svg, px(view, z_left), py(view, 0), px(view, z_right), py(view, 0),
               "class=\"model-axis\" stroke=\"#888888\" stroke-dasharray=\"6 4\"");
    if (geometry.gear_given) {
        const Point3* gears[2] = {&geometry.main_gear, &geometry.other_gear};
        const char* names[2] = {"main gear", geometry.other_gear_is_tail ? "tail gear" : "nose gear"};
        for (int g = 0; g < 2; ++g) {
            const double x = px(view, gears[g]->z);
            const double y = py(view, gears[g]->y);
            append_format(svg, "<circle class=\"gear\" cx=\"%.2f\" cy=\"%.2f\" r=\"5\" fill=\"black\"/>\n",
                         clamp_pixel(x), clamp_pixel(y));
            write_text(svg, x, y + 17, "text-anchor=\"middle\" font-size=\"11\"", names[g]);
        }
    }
    for (unsigned i = 0; i < geometry.light_count; ++i) {
        const LightOnGround& light = geometry.lights[i];
        if (!light.computed) {
            continue;
        }
        const char* colour = LIGHT_COLOURS[i];
        append_format(svg, "<g class=\"light\" id=\"light-%u-side\">\n", i + 1);
        if (light.lit) {
            // The lit area lies on the ground line: its stretch from the
            // nearest to the farthest point.
            double nearest = light.lit_area[0].z;
            double farthest = nearest;
            for (const Point3& p : light.lit_area) {
                nearest = p.z < nearest ? p.z : nearest;
                farthest = p.z > farthest ? p.z : farthest;
            }
            std::snprintf(attributes, sizeof attributes,
                          "class=\"lit-area\" stroke=\"%s\" stroke-width=\"7\" stroke-opacity=\"0.45\"", colour);
            write_line(svg, px(view, nearest), py(view, ground_height(geometry, nearest)), px(view, farthest),
                       py(view, ground_height(geometry, farthest)), attributes);
        }
        write_beam(svg, light, {px(view, light.position.z), py(view, light.position.y)},
                   {px(view, light.ground_hit.z), py(view, light.ground_hit.y)},
                   {px(view, light.aim.z), py(view, light.aim.y)}, colour);
        write_aim_marker(svg, px(view, light.aim.z), py(view, light.aim.y), colour);
        write_light_marker(svg, px(view, light.position.z), py(view, light.position.y), colour);
        // Lights side by side coincide here: their numbers go in a row.
        write_light_label(svg, px(view, light.position.z) - 9.0 * i, py(view, light.position.y), i + 1, colour);
        svg += "</g>\n";
    }
    svg += "</g>\n";
}

// The top view: x against z, the aircraft's axis, and per light its position,
// beam, aim point and lit area.
void write_top_view(std::string& svg, const View& view, const GroundView& geometry)
{
    write_axes(svg, view, "top", "Top view", "x: sideways (m)");
    // Which half is which: compute_light turns a positive Direction towards
    // +x, and +x is drawn upwards.
    write_text(svg, view.left + 80, view.top - 10, "class=\"x-side\" font-size=\"11\" fill=\"#444444\"",
               "Upper half, +x: where a positive LatOffset puts the light; a positive Direction turns the beam "
               "towards it.");
    write_text(svg, view.left, view.top + view.height + 50, "class=\"x-side\" font-size=\"11\" fill=\"#444444\"",
               "Lower half, -x: where a negative LatOffset puts the light; a negative Direction turns the beam "
               "towards it.");
    svg += "<g clip-path=\"url(#top-clip)\">\n";
    write_line(svg, px(view, view.z.low), py(view, 0), px(view, view.z.high), py(view, 0),
               "class=\"model-axis\" stroke=\"#888888\" stroke-dasharray=\"6 4\"");
    for (unsigned i = 0; i < geometry.light_count; ++i) {
        const LightOnGround& light = geometry.lights[i];
        if (!light.computed) {
            continue;
        }
        const char* colour = LIGHT_COLOURS[i];
        append_format(svg, "<g class=\"light\" id=\"light-%u-top\">\n", i + 1);
        if (light.lit) {
            append_format(svg, "<polygon class=\"lit-area\" fill=\"%s\" fill-opacity=\"0.25\" stroke=\"%s\" points=\"",
                         colour, colour);
            for (unsigned k = 0; k < OUTLINE_POINTS; ++k) {
                append_format(svg, "%s%.2f,%.2f", k == 0 ? "" : " ", clamp_pixel(px(view, light.lit_area[k].z)),
                             clamp_pixel(py(view, light.lit_area[k].x)));
            }
            svg += "\"/>\n";
        }
        write_beam(svg, light, {px(view, light.position.z), py(view, light.position.x)},
                   {px(view, light.ground_hit.z), py(view, light.ground_hit.x)},
                   {px(view, light.aim.z), py(view, light.aim.x)}, colour);
        write_aim_marker(svg, px(view, light.aim.z), py(view, light.aim.x), colour);
        write_light_marker(svg, px(view, light.position.z), py(view, light.position.x), colour);
        write_light_label(svg, px(view, light.position.z), py(view, light.position.x), i + 1, colour);
        svg += "</g>\n";
    }
    svg += "</g>\n";
}

// A bar of a round length with its length written under it.
void write_scale_bar(std::string& svg, double x, double y, double scale, double width)
{
    const double metres = nice_step(width / scale, 5.0);
    const double length = metres * scale;
    svg += "<g id=\"scale-bar\">\n";
    append_format(svg, "<rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"6\" fill=\"black\"/>\n", x, y, length);
    char text[64];
    std::snprintf(text, sizeof text, "%g m", metres);
    write_text(svg, x + length / 2, y + 20, "text-anchor=\"middle\"", text);
    svg += "</g>\n";
}

bool any_beam_below_ground(const GroundView& geometry)
{
    for (unsigned i = 0; i < geometry.light_count; ++i) {
        if (meets_ground_before_aim(geometry.lights[i])) {
            return true;
        }
    }
    return false;
}

double write_legend(std::string& svg, double top, const GroundView& geometry,
                    const std::vector<std::string>& notes)
{
    svg += "<g id=\"legend\" font-size=\"12\">\n";
    double y = top;
    char text[256];
    for (unsigned i = 0; i < geometry.light_count; ++i) {
        const LightOnGround& light = geometry.lights[i];
        append_format(svg, "<rect x=\"%.2f\" y=\"%.2f\" width=\"24\" height=\"10\" fill=\"%s\"/>\n", PLOT_LEFT, y - 9,
                     LIGHT_COLOURS[i]);
        if (!light.computed) {
            std::snprintf(text, sizeof text, "Light %u: not computed", i + 1);
        } else {
            std::snprintf(text, sizeof text, "Light %u: pitch=%.2f degrees, beam inclination=%.2f degrees, MaxRange %g m%s",
                          i + 1, light.pitch_deg, light.inclination_deg, light.max_range,
                          light.lit ? "" : " (no lit area: the beam does not come down to the ground)");
        }
        write_text(svg, PLOT_LEFT + 32, y, "class=\"legend-light\"", text);
        y += 18;
    }
    append_format(svg, "<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\" stroke=\"%s\" stroke-width=\"2\"/>\n",
                 PLOT_LEFT, y - 4, PLOT_LEFT + 24, y - 4, GROUND_COLOUR);
    if (geometry.gear_given) {
        std::snprintf(text, sizeof text, "Ground line: ground pitch %s degrees, through the main gear contact point",
                      fixed_text(geometry.ground_pitch_deg, 0, 2).c_str());
    } else {
        std::snprintf(text, sizeof text, "%s", "Ground line: gear not given, level through the model's origin");
    }
    write_text(svg, PLOT_LEFT + 32, y, "", text);
    y += 18;
    write_light_marker(svg, PLOT_LEFT + 6, y - 4, "white");
    write_text(svg, PLOT_LEFT + 16, y, "", "light");
    write_aim_marker(svg, PLOT_LEFT + 76, y - 4, "#444444");
    write_text(svg, PLOT_LEFT + 88, y, "", "aim point: MaxRange ahead and the light's height below it, at the light's pitch");
    y += 18;
    append_format(svg, "<rect x=\"%.2f\" y=\"%.2f\" width=\"24\" height=\"10\" fill=\"#444444\" fill-opacity=\"0.3\"/>\n",
                 PLOT_LEFT, y - 9);
    write_text(svg, PLOT_LEFT + 32, y, "", "lit area: the spot outline carried along the beam to the ground line");
    if (any_beam_below_ground(geometry)) {
        y += 18;
        write_line(svg, PLOT_LEFT, y - 4, PLOT_LEFT + 24, y - 4,
                   "stroke=\"#444444\" stroke-width=\"1.5\" stroke-dasharray=\"4 3\"");
        write_text(svg, PLOT_LEFT + 32, y, "",
                   "dashed: the beam on behind the point where it meets the ground line");
    }
    for (const std::string& note : notes) {
        y += 18;
        write_text(svg, PLOT_LEFT + 8, y, "font-weight=\"bold\" fill=\"#a04000\"", "!");
        write_text(svg, PLOT_LEFT + 32, y, "class=\"legend-note\" fill=\"#a04000\"", ("Note: " + note).c_str());
    }
    svg += "</g>\n";
    return y;
}

}  // namespace

std::string preview_svg(const GroundView& geometry, const PreviewCaption& caption)
{
    View side{};
    View top{};
    lay_out_views(geometry, side, top);
    double y = 34;
    const double title_block = caption.complete ? 60 : 82;
    side.top = title_block + 24;
    top.top = side.top + side.height + 80;
    const double legend_top = top.top + top.height + 80;
    const double legend_lines = geometry.light_count + 4.0 + static_cast<double>(caption.notes.size());
    const double page_height = legend_top + 18.0 * legend_lines + 54;
    const double page_width = std::fmax(PAGE_WIDTH_MIN, PLOT_LEFT + side.width + 40);

    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    append_format(svg,
                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" viewBox=\"0 0 %.0f %.0f\" "
                 "font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"12\">\n",
                 page_width, page_height, page_width, page_height);
    svg += "<title>Landing-light preview of ";
    write_xml_text(svg, caption.definition_name);
    svg += "</title>\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";

    char text[512];
    std::snprintf(text, sizeof text, "Landing lights of %s", caption.definition_name);
    write_text(svg, PLOT_LEFT, y, "id=\"title\" font-size=\"18\" font-weight=\"bold\"", text);
    y += 20;
    std::snprintf(text, sizeof text,
                  "%u light%s, in the model's axes; both views in metres at the same scale, the aircraft's nose to "
                  "the right",
                  geometry.light_count, geometry.light_count == 1 ? "" : "s");
    write_text(svg, PLOT_LEFT, y, "fill=\"#444444\"", text);
    if (!caption.complete) {
        y += 22;
        write_text(svg, PLOT_LEFT, y, "id=\"incomplete\" fill=\"#b00000\" font-weight=\"bold\" font-size=\"14\"",
                   "INCOMPLETE: the definition file has errors; this shows only what could be computed.");
    }

    write_side_view(svg, side, geometry);
    write_top_view(svg, top, geometry);
    const double legend_bottom = write_legend(svg, legend_top, geometry, caption.notes);
    write_scale_bar(svg, PLOT_LEFT, legend_bottom + 18, side.scale, side.width);
    svg += "</svg>\n";
    return svg;
}

int write_preview_svg(const OutputContext& context, const char* path, const GroundView& geometry,
                      const PreviewCaption& caption)
{
    const std::string svg = preview_svg(geometry, caption);
    return write_replacing(context, PREVIEW_MESSAGES, path, reinterpret_cast<const std::uint8_t*>(svg.data()),
                           svg.size());
}

}  // namespace lumora
