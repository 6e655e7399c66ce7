#include "preview/svg_output.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "unicode/utf.h"

namespace lumora {

namespace {

const char REPLACEMENT[] = "\xEF\xBF\xBD";  // U+FFFD

void point_attributes(std::string& svg, const char* x_name, const char* y_name, double x, double y)
{
    append_format(svg, " %s=\"%.2f\" %s=\"%.2f\"", x_name, clamp_pixel(x), y_name, clamp_pixel(y));
}

}  // namespace

void write_xml_text(std::string& svg, const char* text)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* const end = p + std::strlen(text);
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            switch (c) {
            case '&':
                svg += "&amp;";
                break;
            case '<':
                svg += "&lt;";
                break;
            case '>':
                svg += "&gt;";
                break;
            case '"':
                svg += "&quot;";
                break;
            case '\'':
                svg += "&apos;";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    svg += REPLACEMENT;
                } else {
                    svg += static_cast<char>(c);
                }
            }
            ++p;
            continue;
        }
        // XML 1.0 allows neither surrogates nor U+FFFE and U+FFFF.
        const Utf8Sequence sequence = decode_utf8(p, static_cast<std::size_t>(end - p));
        if (sequence.kind != Utf8Kind::whole || sequence.code_point == 0xFFFE || sequence.code_point == 0xFFFF) {
            svg += REPLACEMENT;
            ++p;
            continue;
        }
        svg.append(reinterpret_cast<const char*>(p), sequence.length);
        p += sequence.length;
    }
}

double clamp_pixel(double value)
{
    if (!std::isfinite(value)) {
        return 0.0;
    }
    return value > 1e6 ? 1e6 : (value < -1e6 ? -1e6 : value);
}

void write_line(std::string& svg, double x1, double y1, double x2, double y2, const char* attributes)
{
    svg += "<line";
    point_attributes(svg, "x1", "y1", x1, y1);
    point_attributes(svg, "x2", "y2", x2, y2);
    append_format(svg, " %s/>\n", attributes);
}

void write_text(std::string& svg, double x, double y, const char* attributes, const char* text)
{
    svg += "<text";
    point_attributes(svg, "x", "y", x, y);
    append_format(svg, " %s>", attributes);
    write_xml_text(svg, text);
    svg += "</text>\n";
}

}  // namespace lumora
