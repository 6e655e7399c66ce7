// Numbers printed the same on every platform: the C library prints finite
// numbers alike everywhere, but not a NaN's sign.
#pragma once

#include <string>

// value as printf's "%*.*f" with width and precision prints it, and a value
// that is not a finite number as "nan", "-nan", "inf" or "-inf" after the
// sign bit, right-aligned in width.
std::string fixed_text(double value, int width, int precision);
