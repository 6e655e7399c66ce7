#include "preview/svg_output.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace lumora {

namespace {

const char REPLACEMENT[] = "\xEF\xBF\xBD";  // U+FFFD

// The length of the valid UTF-8 sequence that starts at text, or 0.
unsigned utf8_sequence(const unsigned char* text)
{
    const unsigned char lead = text[0];
    unsigned length = 0;
    unsigned long code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    for (unsigned i = 1; i < length; ++i) {
        if ((text[i] & 0xC0u) != 0x80u) {  // also stops at the terminating zero
            return 0;
        }
        code = (code << 6) | (text[i] & 0x3Fu);
    }
    const unsigned long smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    // XML 1.0 allows neither surrogates nor U+FFFE and U+FFFF.
    if (code < smallest[length] || code > 0x10FFFF || surrogate || code == 0xFFFE || code == 0xFFFF) {
        return 0;
    }
    return length;
}

void point_attributes(std::string& svg, const char* x_name, const char* y_name, double x, double y)
{
    append_format(svg, " %s=\"%.2f\" %s=\"%.2f\"", x_name, clamp_pixel(x), y_name, clamp_pixel(y));
}

}  // namespace

void write_xml_text(std::string& svg, const char* text)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != 0) {
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
        const unsigned length = utf8_sequence(p);
        if (length == 0) {
            svg += REPLACEMENT;
            ++p;
            continue;
        }
        svg.append(reinterpret_cast<const char*>(p), length);
        p += length;
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
