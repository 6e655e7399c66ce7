#include "basics/number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "basics/formatted.h"
#include "basics/portable_math.h"
#include "basics/text.h"

namespace lumora {

namespace {

constexpr double POWERS_OF_TEN[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// printf's "%.*f" of a finite value without the C library, where the value
// in units of the last decimal is below 2^52: the exact product rounded to
// the nearest whole number, a tie to the even one. False elsewhere.
bool short_fixed(double value, int precision, std::string& text)
{
    if (precision < 0 || precision > 15) {
        return false;
    }
    const DoubleDouble product = two_prod(std::fabs(value), POWERS_OF_TEN[precision]);
    if (!(product.hi < 4503599627370496.0)) {  // 2^52: hi's fraction is exact
        return false;
    }
    double whole = std::floor(product.hi);
    const double fraction = product.hi - whole;
    const double low = product.lo;
    if (fraction > 0.5 || (fraction == 0.5 && (low > 0.0 || (low == 0.0 && std::fmod(whole, 2.0) != 0.0)))) {
        whole += 1.0;
    }
    std::string digits = std::to_string(static_cast<std::uint64_t>(whole));
    if (digits.size() <= static_cast<std::size_t>(precision)) {
        digits.insert(0, static_cast<std::size_t>(precision) + 1 - digits.size(), '0');
    }
    text = std::signbit(value) ? "-" : "";
    text.append(digits, 0, digits.size() - static_cast<std::size_t>(precision));
    if (precision > 0) {
        text += '.';
        text.append(digits, digits.size() - static_cast<std::size_t>(precision), std::string::npos);
    }
    return true;
}

}  // namespace

std::string fixed_text(double value, int width, int precision)
{
    std::string shown;
    if (!std::isfinite(value)) {
        shown = std::signbit(value) ? "-" : "";
        shown += std::isnan(value) ? "nan" : "inf";
    } else if (!short_fixed(value, precision, shown)) {
        shown = formatted("%.*f", precision, value);
    }
    if (static_cast<int>(shown.size()) < width) {
        shown.insert(0, static_cast<std::size_t>(width) - shown.size(), ' ');
    }
    return shown;
}

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool is_hex_digit(char c) { return is_digit(c) || (ascii_lower(c) >= 'a' && ascii_lower(c) <= 'f'); }

// True when text begins with word (lower case) but for the case of letters.
bool begins_with(const char* text, const char* word)
{
    for (; *word != '\0'; ++text, ++word) {
        if (ascii_lower(*text) != *word) {
            return false;
        }
    }
    return true;
}

// The length of the digits (and one point) at text; digits counts the digits.
std::size_t mantissa_length(const char* text, bool hex, std::size_t& digits)
{
    std::size_t length = 0;
    bool point = false;
    digits = 0;
    for (;; ++length) {
        const char c = text[length];
        if (hex ? is_hex_digit(c) : is_digit(c)) {
            ++digits;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return length;
        }
    }
}

// The length of an exponent at text: the marker, an optional sign and at
// least one digit; 0 when there is none.
std::size_t exponent_length(const char* text, char marker)
{
    if (ascii_lower(text[0]) != marker) {
        return 0;
    }
    std::size_t length = text[1] == '+' || text[1] == '-' ? 2 : 1;
    if (!is_digit(text[length])) {
        return 0;
    }
    while (is_digit(text[length])) {
        ++length;
    }
    return length;
}

// The whole number at text as strtoull with base 0 reads it (a "0x" prefix
// for hexadecimal, a leading 0 for octal, at most ULLONG_MAX), or false when
// the characters from text to end are not one such number.
bool payload_number(const char* text, const char* end, std::uint64_t& value)
{
    unsigned base = 10;
    if (text[0] == '0' && ascii_lower(text[1]) == 'x' && is_hex_digit(text[2])) {
        base = 16;
        text += 2;
    } else if (text[0] == '0') {
        base = 8;
    }
    value = 0;
    const char* p = text;
    for (; p < end; ++p) {
        const char c = ascii_lower(*p);
        const unsigned digit = is_digit(c) ? static_cast<unsigned>(c - '0')
                               : c >= 'a' && c <= 'z' ? static_cast<unsigned>(c - 'a' + 10) : 99;
        if (digit >= base) {
            break;
        }
        // Past ULLONG_MAX the value stays there.
        value = value > (UINT64_MAX - digit) / base ? UINT64_MAX : value * base + digit;
    }
    return p == end && p != text;
}

// "nan" was read up to at: reads the optional "(n-char-sequence)" and gives
// the NaN it names. A sequence that is a whole number sets the low 51 bits
// of the significand; the quiet bit stays set.
double read_nan(const char* at, bool negative, const char** end)
{
    std::uint64_t bits = 0x7FF8000000000000u;
    *end = at;
    if (*at == '(') {
        const char* sequence = at + 1;
        const char* p = sequence;
        while (is_digit(*p) || (ascii_lower(*p) >= 'a' && ascii_lower(*p) <= 'z') || *p == '_') {
            ++p;
        }
        if (*p == ')') {
            std::uint64_t payload = 0;
            if (payload_number(sequence, p, payload)) {
                bits |= payload & ((std::uint64_t{1} << 51) - 1);
            }
            *end = p + 1;
        }
    }
    if (negative) {
        bits |= std::uint64_t{1} << 63;
    }
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The value of the decimal digits at text (length characters, digits of
// them digits, one point at most, no exponent) where it can be had exactly
// without the C library: a whole number below 2^53 divided by a power of ten
// that a double holds exactly, which one correctly rounded division turns
// into the double nearest the decimal number, as strtod gives it. False
// for any other number.
bool exact_decimal(const char* text, std::size_t length, std::size_t digits, double& value)
{
    if (digits > 15) {  // 10^15 < 2^53
        return false;
    }
    std::uint64_t whole = 0;
    std::size_t fraction_digits = 0;
    bool point = false;
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == '.') {
            point = true;
            continue;
        }
        if (!is_digit(text[i])) {
            return false;  // an exponent
        }
        whole = whole * 10 + static_cast<std::uint64_t>(text[i] - '0');
        fraction_digits += point ? 1 : 0;
    }
    value = static_cast<double>(whole) / POWERS_OF_TEN[fraction_digits];
    return true;
}

}  // namespace

double read_number(const char* text, const char** end)
{
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r') {
        ++p;
    }
    const char* start = p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') {
        ++p;
    }
    if (begins_with(p, "inf")) {
        *end = p + (begins_with(p, "infinity") ? 8 : 3);
        return negative ? -HUGE_VAL : HUGE_VAL;
    }
    if (begins_with(p, "nan")) {
        return read_nan(p + 3, negative, end);
    }

    // A finite number: its extent is found here, its value comes from the C
    // library, which every platform's converts alike once no text around the
    // number is left to interpret.
    std::size_t digits = 0;
    std::size_t length = 0;
    const bool hex = p[0] == '0' && ascii_lower(p[1]) == 'x';
    if (hex) {
        length = mantissa_length(p + 2, true, digits);
        if (digits > 0) {
            length += 2;
            length += exponent_length(p + length, 'p');
        }
    }
    if (digits == 0) {  // also "0x" without hexadecimal digits: its "0"
        length = mantissa_length(p, false, digits);
        if (digits == 0) {
            *end = text;
            return 0.0;
        }
        length += exponent_length(p + length, 'e');
    }
    *end = p + length;
    double value = 0.0;
    if (!hex && exact_decimal(p, length, digits, value)) {
        return negative ? -value : value;
    }
    const std::string number(start, *end);
    return std::strtod(number.c_str(), nullptr);
}

}  // namespace lumora
