// Numbers read and printed the same on every platform. The C libraries
// convert finite numbers alike everywhere (correctly rounded both ways), but
// they disagree on the text around them: a NaN's sign when printing, and
// when reading, a NaN's "(...)" part and the sign of a text that holds no
// number.
#pragma once

#include <string>

namespace lumora {

// value as printf's "%*.*f" with width and precision prints it, and a value
// that is not a finite number as "nan", "-nan", "inf" or "-inf" after the
// sign bit, right-aligned in width.
std::string fixed_text(double value, int width, int precision);

// The number at the start of text, read as the GNU C library's strtod reads
// it in the "C" locale: white space (blank, tab, line ends, vertical tab,
// form feed) skipped, an optional sign, then a decimal or hexadecimal ("0x")
// number with an optional exponent, "inf", "infinity", or "nan" with an
// optional "(n-char-sequence)" whose number, where it is one, becomes the
// NaN's payload. Case does not matter. *end is set behind the characters
// read; when there is no number it is text itself and the value is +0.
double read_number(const char* text, const char** end);

}  // namespace lumora
