// Writing SVG elements into the picture's text: text escaped for XML and
// made valid UTF-8, and the line and text elements with pixel coordinates
// that stay printable.
#pragma once

#include <string>

#include "basics/formatted.h"

namespace lumora {

// Appends text as XML character data (also fit for an attribute in double
// quotes): & < > " ' become references, control characters and bytes that
// are not valid UTF-8 become U+FFFD, so that any file name can appear.
void write_xml_text(std::string& svg, const char* text);

// A pixel coordinate as it is written: far points are held at +-1e6 pixels,
// and a value that is not a finite number becomes 0.
double clamp_pixel(double value);

// Appends a pixel coordinate as clamp_pixel holds it, printed as "%.2f"
// prints it (rounded from its exact value to the nearest hundredth, a tie
// to the even one), without the C library's general formatting, which is
// most of the picture's time in the browser.
void append_pixel(std::string& svg, double value);

// <line x1 y1 x2 y2 attributes/>; attributes is written as it is.
void write_line(std::string& svg, double x1, double y1, double x2, double y2, const char* attributes);

// <text x y attributes>text</text>, the text escaped.
void write_text(std::string& svg, double x, double y, const char* attributes, const char* text);

}  // namespace lumora
