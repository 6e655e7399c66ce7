#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "basics/portable_math.h"

namespace lumora {

namespace {

using Function = double (*)(double, double);

// The functions under test, all with two arguments (the unary ones ignore the
// second).
double sin_of(double x, double) { return portable_sin(x); }
double cos_of(double x, double) { return portable_cos(x); }
double atan_of(double x, double) { return portable_atan(x); }
double asin_of(double x, double) { return portable_asin(x); }

constexpr double INF = std::numeric_limits<double>::infinity();
constexpr double NOT_A_NUMBER = std::numeric_limits<double>::quiet_NaN();
constexpr double PI_ROUNDED = 0x1.921fb54442d18p+1;
constexpr double PIO2_ROUNDED = 0x1.921fb54442d18p+0;
constexpr double PIO4_ROUNDED = 0x1.921fb54442d18p-1;
constexpr double THREE_PIO4_ROUNDED = 0x1.2d97c7f3321d2p+1;

std::uint64_t bits_of(double x)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

// The same double, sign of zero included; any NaN matches any NaN.
bool same_double(double a, double b) { return (std::isnan(a) && std::isnan(b)) || bits_of(a) == bits_of(b); }

std::string describe(const char* name, double a, double b)
{
    char text[96];
    std::snprintf(text, sizeof text, "%s(%a, %a)", name, a, b);
    return text;
}

struct ExactCase {
    const char* name;
    Function function;
    double a;
    double b;
    double expected;
};

void check_exact_cases(const ExactCase* cases, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const ExactCase& c = cases[i];
        const double got = c.function(c.a, c.b);
        EXPECT_TRUE(same_double(got, c.expected)) << describe(c.name, c.a, c.b) << " gave " << std::hexfloat << got
                                                  << ", expected " << c.expected;
    }
}

TEST(PortableMath, SpecialValuesFollowTheCStandard)
{
    const double tiny = 0x1p-1074;
    const ExactCase cases[] = {
        {"sin", sin_of, 0.0, 0, 0.0},
        {"sin", sin_of, -0.0, 0, -0.0},
        {"sin", sin_of, tiny, 0, tiny},
        {"sin", sin_of, -1e-300, 0, -1e-300},
        {"sin", sin_of, INF, 0, NOT_A_NUMBER},
        {"sin", sin_of, -INF, 0, NOT_A_NUMBER},
        {"sin", sin_of, NOT_A_NUMBER, 0, NOT_A_NUMBER},
        {"cos", cos_of, 0.0, 0, 1.0},
        {"cos", cos_of, -0.0, 0, 1.0},
        {"cos", cos_of, -1e-300, 0, 1.0},
        {"cos", cos_of, INF, 0, NOT_A_NUMBER},
        {"cos", cos_of, NOT_A_NUMBER, 0, NOT_A_NUMBER},
        {"atan", atan_of, 0.0, 0, 0.0},
        {"atan", atan_of, -0.0, 0, -0.0},
        {"atan", atan_of, tiny, 0, tiny},
        {"atan", atan_of, INF, 0, PIO2_ROUNDED},
        {"atan", atan_of, -INF, 0, -PIO2_ROUNDED},
        {"atan", atan_of, -1e300, 0, -PIO2_ROUNDED},
        {"atan", atan_of, 1.0, 0, PIO4_ROUNDED},
        {"atan", atan_of, NOT_A_NUMBER, 0, NOT_A_NUMBER},
        {"asin", asin_of, 0.0, 0, 0.0},
        {"asin", asin_of, -0.0, 0, -0.0},
        {"asin", asin_of, -tiny, 0, -tiny},
        {"asin", asin_of, 1.0, 0, PIO2_ROUNDED},
        {"asin", asin_of, -1.0, 0, -PIO2_ROUNDED},
        {"asin", asin_of, 0x1.0000000000001p+0, 0, NOT_A_NUMBER},
        {"asin", asin_of, -1.5, 0, NOT_A_NUMBER},
        {"asin", asin_of, INF, 0, NOT_A_NUMBER},
        {"asin", asin_of, NOT_A_NUMBER, 0, NOT_A_NUMBER},
        // atan2(y, x): the zero and infinite cases of every quadrant.
        {"atan2", portable_atan2, 0.0, 0.0, 0.0},
        {"atan2", portable_atan2, -0.0, 0.0, -0.0},
        {"atan2", portable_atan2, 0.0, -0.0, PI_ROUNDED},
        {"atan2", portable_atan2, -0.0, -0.0, -PI_ROUNDED},
        {"atan2", portable_atan2, 0.0, -2.0, PI_ROUNDED},
        {"atan2", portable_atan2, -0.0, -2.0, -PI_ROUNDED},
        {"atan2", portable_atan2, 0.0, 2.0, 0.0},
        {"atan2", portable_atan2, -0.0, 2.0, -0.0},
        {"atan2", portable_atan2, 2.0, 0.0, PIO2_ROUNDED},
        {"atan2", portable_atan2, 2.0, -0.0, PIO2_ROUNDED},
        {"atan2", portable_atan2, -2.0, 0.0, -PIO2_ROUNDED},
        {"atan2", portable_atan2, 2.0, -INF, PI_ROUNDED},
        {"atan2", portable_atan2, -2.0, -INF, -PI_ROUNDED},
        {"atan2", portable_atan2, 2.0, INF, 0.0},
        {"atan2", portable_atan2, -2.0, INF, -0.0},
        {"atan2", portable_atan2, INF, 2.0, PIO2_ROUNDED},
        {"atan2", portable_atan2, -INF, -2.0, -PIO2_ROUNDED},
        {"atan2", portable_atan2, INF, INF, PIO4_ROUNDED},
        {"atan2", portable_atan2, -INF, INF, -PIO4_ROUNDED},
        {"atan2", portable_atan2, INF, -INF, THREE_PIO4_ROUNDED},
        {"atan2", portable_atan2, -INF, -INF, -THREE_PIO4_ROUNDED},
        {"atan2", portable_atan2, 1.0, 1.0, PIO4_ROUNDED},
        {"atan2", portable_atan2, -1.0, -1.0, -THREE_PIO4_ROUNDED},
        {"atan2", portable_atan2, NOT_A_NUMBER, 1.0, NOT_A_NUMBER},
        {"atan2", portable_atan2, 1.0, NOT_A_NUMBER, NOT_A_NUMBER},
        {"atan2", portable_atan2, INF, NOT_A_NUMBER, NOT_A_NUMBER},
        // hypot: an infinity wins over NaN; signs do not matter; no overflow
        // or underflow on the way.
        {"hypot", portable_hypot, INF, NOT_A_NUMBER, INF},
        {"hypot", portable_hypot, NOT_A_NUMBER, -INF, INF},
        {"hypot", portable_hypot, NOT_A_NUMBER, 1.0, NOT_A_NUMBER},
        {"hypot", portable_hypot, 0.0, 0.0, 0.0},
        {"hypot", portable_hypot, -0.0, -0.0, 0.0},
        {"hypot", portable_hypot, -0.0, -7.5, 7.5},
        {"hypot", portable_hypot, -3.0, 4.0, 5.0},
        {"hypot", portable_hypot, 3e300, -4e300, 5e300},
        {"hypot", portable_hypot, 3 * tiny, 4 * tiny, 5 * tiny},
        {"hypot", portable_hypot, tiny, -tiny, tiny},            // sqrt 2 tiny rounds down
        {"hypot", portable_hypot, 2 * tiny, 2 * tiny, 3 * tiny},  // sqrt 8 tiny rounds up
        {"hypot", portable_hypot, DBL_MAX, 1.0, DBL_MAX},
        {"hypot", portable_hypot, DBL_MAX, DBL_MAX, INF},
        {"hypot", portable_hypot, 1e-300, 1e300, 1e300},
    };
    check_exact_cases(cases, sizeof cases / sizeof cases[0]);
}

// Values from a Linux run of these functions, each checked against a
// 400-bit evaluation to be the correctly rounded result. The C library of
// that run (glibc 2.36) rounds the cases marked "glibc: other neighbour" the
// other way. On any platform a build must give exactly these doubles.
TEST(PortableMath, KnownValuesAreCorrectlyRounded)
{
    const ExactCase cases[] = {
        // Angles as the program makes them (degrees / 180 * pi).
        {"sin", sin_of, 0x1.0c152382d7365p-1, 0, 0x1.fffffffffffffp-2},   // 30 degrees
        {"cos", cos_of, 0x1.0c152382d7365p-1, 0, 0x1.bb67ae8584cabp-1},   // 30 degrees
        {"sin", sin_of, 0x1.acee9f37bebd5p-5, 0, 0x1.acbc748efc90dp-5},   // 3 degrees
        {"cos", cos_of, 0x1.921fb54442d18p+0, 0, 0x1.1a62633145c07p-54},  // 90 degrees
        {"sin", sin_of, 0x1.921fb54442d18p+1, 0, 0x1.1a62633145c07p-53},  // 180 degrees
        {"cos", cos_of, -2.5, 0, -0x1.9a2f7ef858b7dp-1},
        {"sin", sin_of, 0x1.9e0e568bec864p+6, 0, 0x1.435ce634d9263p-3},    // glibc: other neighbour
        {"cos", cos_of, 0x1.3fdd18cdffe88p+6, 0, -0x1.274ed4b7e0cddp-3},   // glibc: other neighbour
        {"sin", sin_of, 0x1p+18, 0, -0x1.58809c5ce39b6p-4},
        // Huge arguments: the reduction must be exact.
        {"sin", sin_of, 0x1.1157d4a4d3138p+128, 0, 0x1.a339fb4d36803p-3},  // glibc: other neighbour
        {"sin", sin_of, 1e22, 0, -0x1.b453ab76bf397p-1},
        {"cos", cos_of, 1e22, 0, 0x1.0be2cef01c8f4p-1},
        // The double nearest to a multiple of pi/2 (2^-61 away).
        {"sin", sin_of, 0x1.6ac5b262ca1ffp+849, 0, 1.0},
        {"cos", cos_of, 0x1.6ac5b262ca1ffp+849, 0, -0x1.14ae72e6ba22fp-61},
        {"cos", cos_of, DBL_MAX, 0, -0x1.fffe62ecfab75p-1},
        {"atan", atan_of, 0x1.5555555555555p-2, 0, 0x1.4978fa3269ee1p-2},
        {"atan", atan_of, 1e6, 0, 0x1.921fa47d4b30dp+0},
        {"atan", atan_of, -1e-6, 0, -0x1.0c6f7a0b5e767p-20},
        {"atan", atan_of, -0x1.75a409e569d2ap-3, 0, -0x1.71937b7b35bb9p-3},  // glibc: other neighbour
        {"atan", atan_of, 0x1p+60, 0, 0x1.921fb54442d18p+0},
        {"asin", asin_of, 0.5, 0, 0x1.0c152382d7366p-1},
        {"asin", asin_of, -0x1.34b420e9ae364p-2, 0, -0x1.3994f6b8205cbp-2},  // glibc: other neighbour
        {"asin", asin_of, 0x1.fffffffffffffp-1, 0, 0x1.921fb50442d18p+0},
        {"asin", asin_of, 0x1.0000000000001p-27, 0, 0x1.0000000000001p-27},
        {"atan2", portable_atan2, -3.0, -4.0, -0x1.3fc176b7a856p+1},
        {"atan2", portable_atan2, 0x1.46d9c3ee43d91p+13, -0x1.3b5dec78e3222p+16,
         0x1.81a211e44a665p+1},  // glibc: other neighbour
        {"atan2", portable_atan2, 1.0, 1e17, 0x1.70ef54646d497p-57},
        {"atan2", portable_atan2, 1e-300, -1e300, 0x1.921fb54442d18p+1},
        {"atan2", portable_atan2, 12345.0, 0.5, 0x1.921d0dc0849fp+0},
        // y/x lies exactly halfway between two subnormals; the angle, a hair
        // smaller, rounds down (glibc: other neighbour).
        {"atan2", portable_atan2, 0x0.fffffffffffffp-1022, 2.0, 0x0.7ffffffffffffp-1022},
        {"atan2", portable_atan2, -0x1.8p-1072, 0x1p+2, -0x0.0000000000001p-1022},
        {"hypot", portable_hypot, 0x1.6a48c3611dcffp+15, 0x1.6f9b7891be336p+16,
         0x1.99d06913dc646p+16},  // glibc: other neighbour
        {"hypot", portable_hypot, 3e-320, 4e-320, 0x0.0000000002788p-1022},  // subnormal
        {"hypot", portable_hypot, 1e308, 1e308, 0x1.92c80954c51f5p+1023},
        {"hypot", portable_hypot, 20000.0, -13.0, 0x1.388004538eebap+14},
        // The exact value lies halfway between two doubles (the sides of a
        // right triangle with a 54-bit hypotenuse): ties go to even.
        {"hypot", portable_hypot, 0x1.8c5393cef3739p+52, 0x1.8c539327e47p+52,
         0x1.183ec1185db9cp+53},  // glibc: other neighbour
    };
    check_exact_cases(cases, sizeof cases / sizeof cases[0]);
}

}  // namespace

}  // namespace lumora
