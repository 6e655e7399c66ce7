#include "basics/number_text.h"

#include <cmath>
#include <cstdio>

std::string fixed_text(double value, int width, int precision)
{
    char text[400];
    if (std::isfinite(value)) {
        std::snprintf(text, sizeof text, "%*.*f", width, precision, value);
        return text;
    }
    std::string word = std::signbit(value) ? "-" : "";
    word += std::isnan(value) ? "nan" : "inf";
    if (static_cast<int>(word.size()) < width) {
        word.insert(0, static_cast<std::size_t>(width) - word.size(), ' ');
    }
    return word;
}
