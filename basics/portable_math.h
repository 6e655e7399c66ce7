// The trigonometric functions the program needs, computed by the program
// itself so that every build prints the same numbers and writes the same
// model bytes, whatever the platform's mathematics library does in the last
// bit. They use only the double operations that IEEE 754 defines exactly
// (+, -, *, /, sqrt, comparisons, conversions, sign bit operations such as
// fabs, power-of-two scaling), and
// give the correctly rounded result but for inputs that come within about
// 2^-100 of a rounding boundary (hypot: always correctly rounded).
//
// Special values follow C99 Annex F: signed zeros are kept (sin(-0) = -0,
// atan2(-0, -1) = -pi, ...), infinities give NaN where the function has no
// limit (sin(inf)) and the limit otherwise (atan(inf) = pi/2 rounded,
// hypot(inf, NaN) = inf), a NaN argument gives NaN, asin outside [-1, 1]
// gives NaN.
#pragma once

namespace lumora {

double portable_sin(double x);
double portable_cos(double x);
// sin x and cos x of one angle, reduced once: the same doubles as
// portable_sin(x) and portable_cos(x).
struct SineAndCosine {
    double sine;
    double cosine;
};
SineAndCosine portable_sin_cos(double x);
double portable_atan(double x);
double portable_asin(double x);
// The angle of the point (x, y) from the positive x axis, in [-pi, pi].
double portable_atan2(double y, double x);
// sqrt(x^2 + y^2) without overflow or underflow in between.
double portable_hypot(double x, double y);

// An unevaluated sum hi + lo of two doubles.
struct DoubleDouble {
    double hi;
    double lo;
};
// a b = hi + lo exactly (barring underflow of lo; |a|, |b| < 2^995), in
// plain double arithmetic: no fused multiply-add, which not every platform
// has.
DoubleDouble two_prod(double a, double b);

}  // namespace lumora
