#include "preview/svg_output.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "unicode/utf.h"

namespace lumora {

namespace {

const char REPLACEMENT[] = "\xEF\xBF\xBD";  // U+FFFD

// Appends ` name="value"`, the value a pixel coordinate.
void pixel_attribute(std::string& svg, const char* name, double value)
{
    svg.append(" ").append(name).append("=\"");
    append_pixel(svg, value);
    svg += '"';
}

}  // namespace

void write_xml_text(std::string& svg, const char* text)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* const end = p + std::strlen(text);
    while (p < end) {
        const Utf8Sequence sequence = decode_utf8(p, static_cast<std::size_t>(end - p));
        const std::uint32_t c = sequence.code_point;
        // XML 1.0 allows neither control characters nor surrogates (which
        // a whole sequence never holds) nor U+FFFE and U+FFFF.
        const bool allowed = sequence.kind == Utf8Kind::whole && c >= 0x20 && c != 0x7F && c != 0xFFFE && c != 0xFFFF;
        const char* reference = !allowed    ? REPLACEMENT
                                : c == '&'  ? "&amp;"
                                : c == '<'  ? "&lt;"
                                : c == '>'  ? "&gt;"
                                : c == '"'  ? "&quot;"
                                : c == '\'' ? "&apos;"
                                             : nullptr;
        if (reference != nullptr) {
            svg += reference;
        } else {
            svg.append(reinterpret_cast<const char*>(p), sequence.length);
        }
        p += allowed ? sequence.length : 1;
    }
}

double clamp_pixel(double value)
{
    return std::isfinite(value) ? std::clamp(value, -1e6, 1e6) : 0.0;
}

void append_pixel(std::string& svg, double value)
{
    const double held = clamp_pixel(value);
    // The hundredths, held * 100, rounded: the product is rounded once, and
    // fma gives what that rounding took off, so that the exact product's
    // place against the half between two whole numbers is known. Within
    // +-1e8 the product's last bit is far finer than a half.
    const double magnitude = std::fabs(held);
    const double product = magnitude * 100.0;
    const double lost = std::fma(magnitude, 100.0, -product);
    double whole = std::floor(product);
    const double past_half = product - whole - 0.5;
    if (past_half > 0.0 || (past_half == 0.0 && (lost > 0.0 || (lost == 0.0 && std::fmod(whole, 2.0) != 0.0)))) {
        whole += 1.0;
    }
    const auto hundredths = static_cast<unsigned long long>(whole);
    char digits[32];
    char* end = digits + sizeof digits;
    char* p = end;
    *--p = static_cast<char>('0' + hundredths % 10);
    *--p = static_cast<char>('0' + hundredths / 10 % 10);
    *--p = '.';
    unsigned long long units = hundredths / 100;
    do {
        *--p = static_cast<char>('0' + units % 10);
        units /= 10;
    } while (units != 0);
    if (std::signbit(held)) {
        *--p = '-';
    }
    svg.append(p, static_cast<std::size_t>(end - p));
}

void write_line(std::string& svg, double x1, double y1, double x2, double y2, const char* attributes)
{
    svg += "<line";
    pixel_attribute(svg, "x1", x1);
    pixel_attribute(svg, "y1", y1);
    pixel_attribute(svg, "x2", x2);
    pixel_attribute(svg, "y2", y2);
    svg += ' ';
    svg += attributes;
    svg += "/>\n";
}

void write_text(std::string& svg, double x, double y, const char* attributes, const char* text)
{
    svg += "<text";
    pixel_attribute(svg, "x", x);
    pixel_attribute(svg, "y", y);
    svg += ' ';
    svg += attributes;
    svg += '>';
    write_xml_text(svg, text);
    svg += "</text>\n";
}

}  // namespace lumora
