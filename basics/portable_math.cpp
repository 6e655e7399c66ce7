#include "basics/portable_math.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace lumora {

// How the functions work.
//
// Every result is first computed as a double-double: an unevaluated sum
// hi + lo of two doubles with |lo| <= ulp(hi) / 2, good to about 2^-100
// relative. Rounding hi + lo to double then gives the correctly rounded value
// unless the exact value lies within about 2^-100 of the midpoint between two
// doubles, which for a transcendental function happens to about one argument
// in 2^46: they round correctly for practically every argument. hypot, whose
// value can sit exactly on a midpoint, settles those cases with an exact test.
//
// The double-double steps are the classic error-free transformations: the
// sum of two doubles is s + e exactly (two_sum), and so is their product
// (two_prod, with Veltkamp's splitting of each factor into two halves whose
// products are exact). They only hold when every operation is rounded to
// double once: no fused multiply-add and no wider intermediate precision,
// which the checks below ensure.
//
// sin, cos: the argument is reduced to r = |x| - n pi/2 with |r| <= pi/4,
// exactly enough that r keeps its 2^-100 accuracy (below). Then
// r = a + t with a = i/64 from a table of sin a and cos a, |t| <= 1/128, and
// sin r = sin a cos t + cos a sin t (cos r likewise), with sin t and cos t
// from their Taylor series.
//
// Argument reduction: for |x| < 2^18, Cody and Waite's method: pi/2 is cut
// into pieces whose products with n are exact, and r is summed from the exact
// differences; when that r is smaller than 2^-20 (cancellation may then have
// eaten its accuracy) the exact method below is used instead. For larger
// |x|, Payne and Hanek's method in integer arithmetic: with
// x = m 2^e (m a 53-bit integer), x 2/pi mod 8 needs only the bits of 2/pi
// from about 2^(e-3) downwards; m times a 256-bit window of those bits gives
// the quadrant and a fraction good to 2^-200, while no double is closer to a
// multiple of pi/2 than about 2^-62 times pi/2.
//
// atan, atan2, asin: all go through the angle of a point (x, y) in the first
// quadrant. With q = y/x <= 1 (else pi/2 minus the angle of (y, x)), c = i/128
// the table point nearest q, atan q = atan c + atan u with
// u = (y - c x) / (x + c y), |u| <= 1/256, atan u from its Taylor series.
// asin x is the angle of the point (sqrt(1 - x^2), x).
//
// hypot: sqrt(x^2 + y^2) in double-double after scaling by a power of two,
// then rounded; when the double-double value is within 2^-96 of a midpoint,
// the side of the midpoint is decided by the exact sign of
// x^2 + y^2 - midpoint^2 (a sum of eight doubles, summed exactly).

// Excess precision (x87) and contraction into fused multiply-adds would break
// the exact steps.
#if !defined(FLT_EVAL_METHOD) || FLT_EVAL_METHOD != 0
#error "portable_math.cpp needs double expressions evaluated in double precision"
#endif
#if defined(__FAST_MATH__)
#error "portable_math.cpp must not be compiled with -ffast-math"
#endif
// The build compiles the whole project with -ffp-contract=off; clang is
// told here as well, in case this file is compiled on its own.
#if defined(__clang__)
#pragma clang fp contract(off)
#endif

namespace {

// ---------------------------------------------------------------------------
// Bits and powers of two

std::uint64_t bits_of(double x)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

double from_bits(std::uint64_t bits)
{
    double x = 0;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

// value for x >= 0 (+0 included), -value for x < 0 (-0 included): an odd
// function's value at x from its value at |x|.
double with_sign_of(double value, double x) { return std::signbit(x) ? -value : value; }

// 2^k for -1022 <= k <= 1023.
double pow2(int k) { return from_bits(static_cast<std::uint64_t>(k + 1023) << 52); }

// x 2^k, exact whenever the result is a normal double.
double scale(double x, int k)
{
    for (int step = k > 0 ? 1000 : -1000; k > 1000 || k < -1000; k -= step) {
        x *= pow2(step);
    }
    return x * pow2(k);
}

// e with 2^e <= x < 2^(e+1), for finite x > 0.
int exponent_of(double x)
{
    const int biased = static_cast<int>((bits_of(x) >> 52) & 0x7FF);
    if (biased == 0) {
        return exponent_of(x * pow2(64)) - 64;  // subnormal
    }
    return biased - 1023;
}

// ---------------------------------------------------------------------------
// Double-double arithmetic

// a + b = s + e exactly.
DoubleDouble two_sum(double a, double b)
{
    const double s = a + b;
    const double b_part = s - a;
    const double e = (a - (s - b_part)) + (b - b_part);
    return {s, e};
}

// a + b = s + e exactly, when |a| >= |b| (or a == 0).
DoubleDouble fast_two_sum(double a, double b)
{
    const double s = a + b;
    return {s, b - (s - a)};
}

// a = hi + lo with hi and lo of at most 26 significant bits each
// (|a| < 2^995, so that the splitting product cannot overflow).
DoubleDouble split(double a)
{
    const double t = 134217729.0 * a;  // 2^27 + 1
    const double hi = t - (t - a);
    return {hi, a - hi};
}

DoubleDouble neg(DoubleDouble a) { return {-a.hi, -a.lo}; }

DoubleDouble add(DoubleDouble a, DoubleDouble b)
{
    DoubleDouble s = two_sum(a.hi, b.hi);
    const DoubleDouble t = two_sum(a.lo, b.lo);
    s = fast_two_sum(s.hi, s.lo + t.hi);
    return fast_two_sum(s.hi, s.lo + t.lo);
}

DoubleDouble add(DoubleDouble a, double b)
{
    const DoubleDouble s = two_sum(a.hi, b);
    return fast_two_sum(s.hi, s.lo + a.lo);
}

DoubleDouble sub(DoubleDouble a, DoubleDouble b) { return add(a, neg(b)); }

DoubleDouble mul(DoubleDouble a, DoubleDouble b)
{
    const DoubleDouble p = two_prod(a.hi, b.hi);
    return fast_two_sum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

DoubleDouble mul(DoubleDouble a, double b)
{
    const DoubleDouble p = two_prod(a.hi, b);
    return fast_two_sum(p.hi, p.lo + a.lo * b);
}

// a / b by long division: three quotient digits.
DoubleDouble div(DoubleDouble a, DoubleDouble b)
{
    const double q1 = a.hi / b.hi;
    DoubleDouble rest = sub(a, mul(b, q1));
    const double q2 = rest.hi / b.hi;
    rest = sub(rest, mul(b, q2));
    const double q3 = rest.hi / b.hi;
    return add(fast_two_sum(q1, q2), q3);
}

// sqrt(a) for a > 0: the double root and one Newton correction.
DoubleDouble sqrt_dd(DoubleDouble a)
{
    const double s = std::sqrt(a.hi);
    const DoubleDouble square = two_prod(s, s);
    const double residual = ((a.hi - square.hi) - square.lo) + a.lo;
    return fast_two_sum(s, residual / (2.0 * s));
}

// The double nearest to a.
double to_double(DoubleDouble a) { return a.hi + a.lo; }

// ---------------------------------------------------------------------------
// Constants and tables, printed by tools/portable_math_tables.py, which works
// in integer fixed-point arithmetic with 1600 fraction bits: pi from Machin's
// formula pi/4 = 4 atan(1/5) - atan(1/239), arctangents from Euler's series
// atan x = sum 2^2n (n!)^2 / (2n+1)! x^(2n+1) / (1 + x^2)^(n+1), sines and
// cosines from their Taylor series. Each value v is given as hi = v rounded
// to double and lo = v - hi rounded to double. All were checked against an
// independent multiple-precision library. The lines between BEGIN and END
// are the script's output as it prints it; a test keeps the two equal.

// BEGIN lines printed by tools/portable_math_tables.py
constexpr DoubleDouble PI_DD = {0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53};
constexpr DoubleDouble PIO2_DD = {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};
constexpr double PIO4_ROUNDED = 0x1.921fb54442d18p-1;
constexpr double THREE_PIO4_ROUNDED = 0x1.2d97c7f3321d2p+1;
constexpr double TWO_OVER_PI_ROUNDED = 0x1.45f306dc9c883p-1;

// pi/2 = PIO2_PIECE_1 + PIO2_PIECE_2 + PIO2_PIECE_3 + PIO2_PIECE_4 + O(2^-160):
// the first three are the bits of pi/2 from 2^0 to 2^-32, from 2^-33 to
// 2^-65 and from 2^-66 to 2^-98 (33 bits or fewer each, so that n times a
// piece is exact for n < 2^20), the fourth the rest rounded.
constexpr double PIO2_PIECE_1 = 0x1.921fb54400000p+0;
constexpr double PIO2_PIECE_2 = 0x1.0b4611a600000p-34;
constexpr double PIO2_PIECE_3 = 0x1.3198a2e000000p-69;
constexpr double PIO2_PIECE_4 = 0x1.b839a252049c1p-104;

// The bits of 2/pi after the binary point, 32 to a word, most significant
// first: enough for the reduction of the largest double (bits up to
// 2^-(969 + 255) are used).
constexpr std::uint32_t TWO_OVER_PI_BITS[40] = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041, 0xFE5163AB, 0xDEBBC561,
    0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C, 0xFE1DEB1C, 0xB129A73E, 0xE88235F5, 0x2EBB4484,
    0xE99C7026, 0xB45F7E41, 0x3991D639, 0x835339F4, 0x9C845F8B, 0xBDF9283B, 0x1FF897FF, 0xDE05980F,
    0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7, 0x4F463F66, 0x9E5FEA2D, 0x7527BAC7, 0xEBE5F17B,
    0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1, 0x1F8D5D08, 0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D,
};

// sin(i/64) (hi, lo) and cos(i/64) (hi, lo) for i = 0 .. 52.
constexpr double SIN_COS_TABLE[53][4] = {
    {0.0, 0.0, 0x1.0000000000000p+0, 0.0},  // 0
    {0x1.fffaaaaeeeed5p-7, -0x1.2ab639a9f0776p-63, 0x1.fff000155549fp-1, 0x1.28a28a03a5ef3p-55},  // 1
    {0x1.ffeaaaeeee86fp-6, -0x1.cd406fb224ae2p-60, 0x1.ffc00155527d3p-1, -0x1.3b54492d89b5bp-55},  // 2
    {0x1.7fdc01032fba9p-5, -0x1.599bdf46e997ap-59, 0x1.ff7006bfdf99fp-1, -0x1.8b3b560648d5fp-56},  // 3
    {0x1.ffaaaeeed4edbp-5, -0x1.2d16d32684b69p-59, 0x1.ff0015549f4d3p-1, 0x1.328387b99426fp-55},  // 4
    {0x1.3facb12d1755bp-4, -0x1.921915299468bp-58, 0x1.fe7034129ef6fp-1, -0x1.cbf4337c96f97p-57},  // 5
    {0x1.7f701032550e4p-4, 0x1.afc2d1800501ap-60, 0x1.fdc06bf7e6b9bp-1, 0x1.31902b535f8dbp-55},  // 6
    {0x1.bf1b78568391dp-4, 0x1.e91841dea4cc8p-58, 0x1.fcf0c800e99b1p-1, 0x1.ea3d786d186acp-57},  // 7
    {0x1.feaaeee86ee36p-4, -0x1.afcb2bcc6f03bp-59, 0x1.fc015527d5bd3p-1, 0x1.b68f35094efb8p-55},  // 8
    {0x1.1f0d3d7afceafp-3, -0x1.6ef95099769a5p-57, 0x1.faf22263c4bd3p-1, -0x1.52ace133a2769p-58},  // 9
    {0x1.3eb312c5d66cbp-3, 0x1.47d666b66cb91p-57, 0x1.f9c340a7cc428p-1, 0x1.c5b6b063b7462p-55},  // 10
    {0x1.5e44fcfa126f3p-3, -0x1.6f443063f89b6p-57, 0x1.f874c2e1eecf6p-1, -0x1.c6514e1332b16p-55},  // 11
    {0x1.7dc102fbaf2b5p-3, 0x1.5ab50e23c97c3p-59, 0x1.f706bdf9ece1cp-1, -0x1.698c80c36dcb4p-55},  // 12
    {0x1.9d252d0cec312p-3, 0x1.9c43d80b1137dp-58, 0x1.f57948cff6797p-1, 0x1.e3a0d3e03b1d4p-57},  // 13
    {0x1.bc6f84edc6199p-3, 0x1.9c1a56a7b0cabp-57, 0x1.f3cc7c3b3d16ep-1, -0x1.21a3ad28a3494p-57},  // 14
    {0x1.db9e15fb5a5d0p-3, -0x1.32e20d6cc6fc2p-57, 0x1.f20073086649fp-1, 0x1.b940416c1984bp-56},  // 15
    {0x1.faaeed4f31577p-3, -0x1.15d88508e32b8p-57, 0x1.f01549f7deea1p-1, 0x1.d3c1e99e5cafdp-55},  // 16
    {0x1.0cd00cef36436p-2, -0x1.9fb0a0c93e2b4p-56, 0x1.ee0b1fbc0f11cp-1, -0x1.bfd2380bbc3b1p-59},  // 17
    {0x1.1c37d64c6b876p-2, 0x1.46076fe0dcff4p-56, 0x1.ebe214f76efa8p-1, -0x1.02f9f12ba543ep-55},  // 18
    {0x1.2b8ddc43eb49fp-2, 0x1.1553899f2d807p-57, 0x1.e99a4c3a7cd83p-1, -0x1.2264b1bc53ce8p-55},  // 19
    {0x1.3ad129769d3d8p-2, 0x1.03d550487839ap-63, 0x1.e733ea0193d40p-1, -0x1.6428b3546ce13p-55},  // 20
    {0x1.4a00c9b0f3d20p-2, 0x1.823ba6bb08eadp-56, 0x1.e4af14b2a449cp-1, -0x1.68ca02e8a6833p-55},  // 21
    {0x1.591bc9fa2f597p-2, 0x1.7c74bac3fe0cbp-57, 0x1.e20bf49acd6c1p-1, -0x1.660aec7ef636bp-58},  // 22
    {0x1.682138a38d7f7p-2, -0x1.d889202444aadp-56, 0x1.df4ab3ebd875ep-1, -0x1.e2d8a7e6736c4p-55},  // 23
    {0x1.7710255764214p-2, -0x1.6ead7314bb6cep-57, 0x1.dc6b7eb995912p-1, 0x1.4b364776dcd35p-58},  // 24
    {0x1.85e7a12826949p-2, 0x1.8a40e9b5face0p-56, 0x1.d96e82f71a9dcp-1, 0x1.ff61bd5d2039dp-55},  // 25
    {0x1.94a6be9f546c5p-2, -0x1.69ce13e683f58p-56, 0x1.d653f073e4040p-1, -0x1.76236434bec37p-55},  // 26
    {0x1.a34c91cc50ccap-2, -0x1.a310e3b50cecdp-58, 0x1.d31bf8d8d7c06p-1, 0x1.e60dd3089cbddp-56},  // 27
    {0x1.b1d8305321617p-2, -0x1.ae242cb99f519p-56, 0x1.cfc6cfa52ad9fp-1, 0x1.8b5b5508f2a0dp-55},  // 28
    {0x1.c048b17b140a3p-2, 0x1.19fe6757e9fa7p-57, 0x1.cc54aa2b2972ep-1, 0x1.4ee162ba83a98p-57},  // 29
    {0x1.ce9d2e3d4a51fp-2, -0x1.2fc8a12dae298p-57, 0x1.c8c5bf8ce1a84p-1, 0x1.ab3d1a1590123p-56},  // 30
    {0x1.dcd4c15329c9ap-2, 0x1.0d4c6e171fd9ap-56, 0x1.c51a48b8b175ep-1, -0x1.1bbb43b9aa880p-57},  // 31
    {0x1.eaee8744b05f0p-2, -0x1.789b43c9b027dp-58, 0x1.c1528065b7d50p-1, -0x1.892111312e828p-55},  // 32
    {0x1.f8e99e76abc97p-2, 0x1.9d950af2d00a3p-58, 0x1.bd6ea310294f5p-1, 0x1.31bbcc88c109dp-56},  // 33
    {0x1.0362939c69955p-1, -0x1.2d8cd78397b01p-55, 0x1.b96eeef58840ep-1, 0x1.45a3cc78fade0p-58},  // 34
    {0x1.0a4021e9e1001p-1, -0x1.6f643a13914f6p-55, 0x1.b553a410c104ep-1, 0x1.8ff7947027a15p-58},  // 35
    {0x1.110d0c4b69c3bp-1, 0x1.d918998809981p-55, 0x1.b11d04162a4c6p-1, 0x1.1dd561efbc0c2p-56},  // 36
    {0x1.17c8e5f2eedb0p-1, 0x1.35e57102e2488p-57, 0x1.accb526f69de5p-1, 0x1.8fb6a8dd6b6ccp-55},  // 37
    {0x1.1e7343236574cp-1, 0x1.22a3fa4f41d5ap-56, 0x1.a85ed4373e02dp-1, 0x1.9be06385ec792p-57},  // 38
    {0x1.250bb93788bbbp-1, 0x1.ea3d02457bccep-56, 0x1.a3d7d0352bdcfp-1, -0x1.68dbaeca19669p-55},  // 39
    {0x1.2b91dea88421ep-1, -0x1.fa371db216ab0p-55, 0x1.9f368ed912f85p-1, -0x1.1d200c5791606p-55},  // 40
    {0x1.32054b148bc4fp-1, 0x1.f6b42095a135bp-55, 0x1.9a7b5a36a6514p-1, 0x1.722cfcc9fa7a9p-55},  // 41
    {0x1.386597456282bp-1, -0x1.10fada93b07a8p-56, 0x1.95a67e00cb1fdp-1, -0x1.0befda21f862dp-55},  // 42
    {0x1.3eb25d36cd53ap-1, -0x1.be570e1570fc0p-58, 0x1.90b84784ddaf7p-1, -0x1.0feb10ab93b87p-56},  // 43
    {0x1.44eb381cf386bp-1, -0x1.3ed6c1e6a5505p-55, 0x1.8bb105a5dc900p-1, 0x1.863e03e9474c1p-55},  // 44
    {0x1.4b0fc46aab761p-1, 0x1.0da05738cc59cp-61, 0x1.869108d77a6c6p-1, 0x1.338ffe2bfe9ddp-56},  // 45
    {0x1.511f9fd7b351cp-1, -0x1.5c0e861c48831p-55, 0x1.8158a31916d5dp-1, -0x1.de8b90b8228dep-57},  // 46
    {0x1.571a6966d59b3p-1, 0x1.c843b4d0fb197p-58, 0x1.7c0827f09e54fp-1, -0x1.c73d6d72aee68p-57},  // 47
    {0x1.5cffc16bf8f0dp-1, 0x1.96cb370eb578ap-55, 0x1.769fec655211fp-1, -0x1.827d5cf8c68c5p-57},  // 48
    {0x1.62cf49921ac79p-1, -0x1.edd9855b6241ap-55, 0x1.712046fa77678p-1, 0x1.425b0a5029c81p-55},  // 49
    {0x1.6888a4e134b2fp-1, -0x1.6b7d37644d5e6p-55, 0x1.6b898fa9efb5dp-1, 0x1.15ac786ccf4b2p-56},  // 50
    {0x1.6e2b77c40bde1p-1, -0x1.0e729857fad53p-56, 0x1.65dc1fdeb8cbap-1, -0x1.97c1b47337c77p-58},  // 51
    {0x1.73b7680dea578p-1, -0x1.2248306dc12a2p-56, 0x1.6018526f563dfp-1, 0x1.46ca5e0e432d0p-55},  // 52
};

// atan(i/128) (hi, lo) for i = 0 .. 128.
constexpr double ATAN_TABLE[129][2] = {
    {0.0, 0.0},  // 0
    {0x1.fffd555bbba97p-8, 0x1.68062351fbbe6p-63},  // 1
    {0x1.fff555bbb729bp-7, -0x1.220c39d4dff50p-61},  // 2
    {0x1.7fee0184a5c36p-6, -0x1.43189fc0a354bp-60},  // 3
    {0x1.ffd55bba97625p-6, -0x1.5ec431444912cp-60},  // 4
    {0x1.3fd65f169c9d9p-5, 0x1.7230a716461b5p-61},  // 5
    {0x1.7fb818430da2ap-5, -0x1.86ef8f794f105p-63},  // 6
    {0x1.bf8ddf139c444p-5, -0x1.89fe34b2a7fa8p-59},  // 7
    {0x1.ff55bb72cfdeap-5, -0x1.c934d86d23f1dp-60},  // 8
    {0x1.1f86dbf082d59p-4, -0x1.095dc7732ef81p-59},  // 9
    {0x1.3f59f0e7c559dp-4, 0x1.ac4ce285df847p-58},  // 10
    {0x1.5f2324fd2d7b2p-4, 0x1.8a8da4401318ep-58},  // 11
    {0x1.7ee182602f10fp-4, -0x1.cfb654c0c3d98p-58},  // 12
    {0x1.9e94153cfdcf1p-4, 0x1.a332e1d69c47ep-58},  // 13
    {0x1.be39ebe6f07c3p-4, 0x1.f7b8f29a05987p-58},  // 14
    {0x1.ddd21701eba6ep-4, 0x1.94effcd76fe58p-58},  // 15
    {0x1.fd5ba9aac2f6ep-4, -0x1.cd37686760c17p-59},  // 16
    {0x1.0e6adccf40882p-3, -0x1.d71a31bb98d0dp-57},  // 17
    {0x1.1e1fafb043727p-3, -0x1.b485914dacf8cp-59},  // 18
    {0x1.2dcbdb2fba1ffp-3, 0x1.8f28705561534p-58},  // 19
    {0x1.3d6eee8c6626cp-3, 0x1.61a3b0ce9281bp-57},  // 20
    {0x1.4d087a9da4f17p-3, 0x1.1f323f1adf158p-57},  // 21
    {0x1.5c9811e3ec26ap-3, -0x1.054ab2c010f3dp-58},  // 22
    {0x1.6c1d4898933d9p-3, -0x1.2954a7603c427p-58},  // 23
    {0x1.7b97b4bce5b02p-3, 0x1.347b0b4f881cap-58},  // 24
    {0x1.8b06ee2879c29p-3, -0x1.118cd30308c4fp-57},  // 25
    {0x1.9a6a8e96c8626p-3, 0x1.cf601e7b4348ep-59},  // 26
    {0x1.a9c231b403279p-3, 0x1.0e8bbe89cca85p-57},  // 27
    {0x1.b90d7529260a2p-3, 0x1.17b10d2e0e5abp-61},  // 28
    {0x1.c84bf8a742e6ep-3, -0x1.95bdd0682ea26p-58},  // 29
    {0x1.d77d5df205736p-3, 0x1.c648d1534597ep-57},  // 30
    {0x1.e6a148e96ec4dp-3, 0x1.866b22029f765p-57},  // 31
    {0x1.f5b75f92c80ddp-3, 0x1.8ab6e3cf7afbdp-57},  // 32
    {0x1.025fa510665b6p-2, -0x1.672df6832fa48p-56},  // 33
    {0x1.09dc597d86362p-2, 0x1.62e47390cb865p-56},  // 34
    {0x1.1151a362431cap-2, -0x1.4dc8dc9077b9fp-56},  // 35
    {0x1.18bf5a30bf178p-2, 0x1.30ca4748b1bf9p-57},  // 36
    {0x1.2025567e47c96p-2, -0x1.1832328f4290ep-57},  // 37
    {0x1.278372057ef46p-2, -0x1.077cdd36dfc81p-56},  // 38
    {0x1.2ed987a823cfep-2, 0x1.b91258ea012cap-57},  // 39
    {0x1.362773707ebccp-2, -0x1.963a544b672d8p-57},  // 40
    {0x1.3d6d129271134p-2, 0x1.137ca41cc958ap-56},  // 41
    {0x1.44aa436c2af0ap-2, -0x1.5d5e43c55b3bap-56},  // 42
    {0x1.4bdee586890e7p-2, -0x1.e4dc77c22a757p-57},  // 43
    {0x1.530ad9951cd4ap-2, -0x1.2566480884082p-57},  // 44
    {0x1.5a2e0175e0f4ep-2, 0x1.13b7a8f82e457p-56},  // 45
    {0x1.614840309cfe2p-2, -0x1.a725715711f00p-56},  // 46
    {0x1.685979f5fa6fep-2, -0x1.257814d1ada9cp-59},  // 47
    {0x1.6f61941e4def1p-2, -0x1.c63aae6f6e918p-56},  // 48
    {0x1.7660752817502p-2, -0x1.dd11791cc7600p-59},  // 49
    {0x1.7d5604b63b3f7p-2, 0x1.69c885c2b249ap-56},  // 50
    {0x1.84422b8df95d7p-2, 0x1.d76a0299b41b6p-56},  // 51
    {0x1.8b24d394a1b25p-2, 0x1.b6d0ba3748fa8p-56},  // 52
    {0x1.91fde7cd0c662p-2, 0x1.1074188054b53p-56},  // 53
    {0x1.98cd5454d6b18p-2, 0x1.9e6c988fd0a77p-56},  // 54
    {0x1.9f93066168002p-2, -0x1.c827047c9439ap-56},  // 55
    {0x1.a64eec3cc23fdp-2, -0x1.24dec1b50b7ffp-56},  // 56
    {0x1.ad00f5422058bp-2, 0x1.fc4c33891d2e8p-56},  // 57
    {0x1.b3a911da65c6cp-2, 0x1.ae187b1ca5040p-56},  // 58
    {0x1.ba473378624a5p-2, 0x1.519a1b46e4affp-56},  // 59
    {0x1.c0db4c94ec9f0p-2, -0x1.cc1ce70934c34p-56},  // 60
    {0x1.c76550aad71f9p-2, -0x1.74b8bff7043e4p-56},  // 61
    {0x1.cde53432c1351p-2, -0x1.a2cfa4418f1adp-56},  // 62
    {0x1.d45aec9ec862bp-2, 0x1.89421163ef92dp-57},  // 63
    {0x1.dac670561bb4fp-2, 0x1.a2b7f222f65e2p-56},  // 64
    {0x1.e127b6b0744b0p-2, -0x1.2b0986398d4abp-58},  // 65
    {0x1.e77eb7f175a34p-2, 0x1.0e53dc1bf3435p-56},  // 66
    {0x1.edcb6d43f8435p-2, -0x1.fc976330884e4p-58},  // 67
    {0x1.f40dd0b541418p-2, -0x1.a3992dc382a23p-57},  // 68
    {0x1.fa45dd3029259p-2, -0x1.ca563dc28d8b5p-56},  // 69
    {0x1.0039c73c1a40cp-1, -0x1.b32c949c9d593p-55},  // 70
    {0x1.034b709250488p-1, 0x1.8f9b38d855410p-56},  // 71
    {0x1.0657e94db30d0p-1, -0x1.d5b495f6349e6p-56},  // 72
    {0x1.095f30861a590p-1, -0x1.121b20a15a9f3p-56},  // 73
    {0x1.0c6145b5b43dap-1, 0x1.974fa13b5404fp-58},  // 74
    {0x1.0f5e28b67e295p-1, 0x1.311b17ec990d0p-65},  // 75
    {0x1.1255d9bfbd2a9p-1, -0x1.2bdaee1c0ee35p-58},  // 76
    {0x1.154859637646ap-1, -0x1.4ba7c548bf3c3p-55},  // 77
    {0x1.1835a88be7c13p-1, 0x1.c621cec00c301p-55},  // 78
    {0x1.1b1dc87904285p-1, -0x1.21e8c8aef8f29p-57},  // 79
    {0x1.1e00babdefeb4p-1, -0x1.928df287a668fp-58},  // 80
    {0x1.20de813e823b2p-1, -0x1.791d753ebb744p-55},  // 81
    {0x1.23b71e2cc9e6ap-1, 0x1.c421c9f38224ep-57},  // 82
    {0x1.268a940696da6p-1, 0x1.d1348a04c73ccp-58},  // 83
    {0x1.2958e59308e31p-1, -0x1.09e73b0c6c087p-56},  // 84
    {0x1.2c2215e024466p-1, -0x1.4b810da3a4be1p-59},  // 85
    {0x1.2ee628406cbcap-1, 0x1.c5d5e9ff0cf8dp-55},  // 86
    {0x1.31a52048874bep-1, 0x1.40cab87a7ac24p-55},  // 87
    {0x1.345f01cce37bbp-1, 0x1.1021137c71102p-55},  // 88
    {0x1.3713d0df6c504p-1, -0x1.4f789e031606dp-58},  // 89
    {0x1.39c391cd4171ap-1, -0x1.2304331d8bf46p-55},  // 90
    {0x1.3c6e491c78dc5p-1, -0x1.e145094fd0ba7p-55},  // 91
    {0x1.3f13fb89e96f4p-1, 0x1.ecf8b492644f0p-56},  // 92
    {0x1.41b4ae06fea41p-1, 0x1.3d60a53277652p-57},  // 93
    {0x1.445065b795b56p-1, -0x1.f76d0163f79c8p-56},  // 94
    {0x1.46e727efe4716p-1, -0x1.39b9b1b844cc9p-57},  // 95
    {0x1.4978fa3269ee1p-1, 0x1.2419a87f2a458p-56},  // 96
    {0x1.4c05e22de94e5p-1, -0x1.c0ac1f09f2edfp-55},  // 97
    {0x1.4e8de5bb6ec04p-1, 0x1.4a33dbeb3796cp-55},  // 98
    {0x1.51110adc5ed81p-1, 0x1.23dcd6832a63ep-56},  // 99
    {0x1.538f57b89061fp-1, -0x1.1bb74abda520cp-55},  // 100
    {0x1.5608d29c70c34p-1, 0x1.9939cf0de8088p-55},  // 101
    {0x1.587d81f732fbbp-1, -0x1.5e5c9d8c5a950p-56},  // 102
    {0x1.5aed6c5909517p-1, 0x1.7312f714a9436p-55},  // 103
    {0x1.5d58987169b18p-1, 0x1.0028e4bc5e7cap-57},  // 104
    {0x1.5fbf0d0d5cc4ap-1, -0x1.b4cfd000b7158p-58},  // 105
    {0x1.6220d115d7b8ep-1, -0x1.2b785350ee8c1p-57},  // 106
    {0x1.647deb8e20b90p-1, -0x1.eca04023a51cfp-58},  // 107
    {0x1.66d663923e087p-1, -0x1.6ea6febe8bbbap-56},  // 108
    {0x1.692a40556fb6ap-1, 0x1.d94b95a8ea2ccp-55},  // 109
    {0x1.6b798920b3d99p-1, -0x1.a80386188c50ep-55},  // 110
    {0x1.6dc44551553afp-1, -0x1.bf8863573828ep-58},  // 111
    {0x1.700a7c5784634p-1, -0x1.8c34d25aadef6p-56},  // 112
    {0x1.724c35b4fae7bp-1, 0x1.948b32db3499bp-58},  // 113
    {0x1.748978fba8e0fp-1, 0x1.7b2a6165884a1p-59},  // 114
    {0x1.76c24dcc6c6c0p-1, 0x1.1952551adc83dp-55},  // 115
    {0x1.78f6bbd5d315ep-1, 0x1.406a089803740p-55},  // 116
    {0x1.7b26cad2e50fep-1, -0x1.ce80df30411fbp-55},  // 117
    {0x1.7d528289fa093p-1, 0x1.560821e2f3aa9p-55},  // 118
    {0x1.7f79eacb97898p-1, 0x1.fd5ca80ead221p-55},  // 119
    {0x1.819d0b7158a4dp-1, -0x1.bf76229d3b917p-56},  // 120
    {0x1.83bbec5cdee22p-1, 0x1.3107104ffc6c3p-57},  // 121
    {0x1.85d69576cc2c5p-1, 0x1.6b66e7fc8b8c3p-57},  // 122
    {0x1.87ed0eadc5a2ap-1, 0x1.0af5ad957f4bcp-56},  // 123
    {0x1.89ff5ff57f1f8p-1, -0x1.55b9a5e177a1bp-55},  // 124
    {0x1.8c0d9145cf49dp-1, 0x1.bea4076dc4333p-55},  // 125
    {0x1.8e17aa99cc05ep-1, -0x1.ec182ab042f61p-56},  // 126
    {0x1.901db3eeef187p-1, 0x1.68665e5603c8fp-55},  // 127
    {0x1.921fb54442d18p-1, 0x1.1a62633145c07p-55},  // 128
};

// Coefficients 1/n! and 1/n of the series, as double-doubles where the
// accuracy needs it.
constexpr DoubleDouble INV_3 = {0x1.5555555555555p-2, 0x1.5555555555555p-56};
constexpr DoubleDouble INV_5 = {0x1.999999999999ap-3, -0x1.999999999999ap-57};
constexpr DoubleDouble INV_7 = {0x1.2492492492492p-3, 0x1.2492492492492p-57};
constexpr double INV_9 = 0x1.c71c71c71c71cp-4;
constexpr double INV_11 = 0x1.745d1745d1746p-4;
constexpr double INV_13 = 0x1.3b13b13b13b14p-4;
constexpr DoubleDouble INV_FACT_3 = {0x1.5555555555555p-3, 0x1.5555555555555p-57};
constexpr DoubleDouble INV_FACT_4 = {0x1.5555555555555p-5, 0x1.5555555555555p-59};
constexpr DoubleDouble INV_FACT_5 = {0x1.1111111111111p-7, 0x1.1111111111111p-63};
constexpr double INV_FACT_6 = 0x1.6c16c16c16c17p-10;
constexpr double INV_FACT_7 = 0x1.a01a01a01a01ap-13;
constexpr double INV_FACT_8 = 0x1.a01a01a01a01ap-16;
constexpr double INV_FACT_9 = 0x1.71de3a556c734p-19;
constexpr double INV_FACT_10 = 0x1.27e4fb7789f5cp-22;
constexpr double INV_FACT_11 = 0x1.ae64567f544e4p-26;
// END lines printed by tools/portable_math_tables.py

// ---------------------------------------------------------------------------
// Argument reduction

// x = (4k + quadrant) pi/2 + r for some integer k, |r| <= pi/4 (a hair more
// in the fast reduction).
struct Reduced {
    int quadrant;
    DoubleDouble r;
};

// Bits b_j .. b_(j+31) of 2/pi = sum b_j 2^-j, j >= 1.
std::uint32_t two_over_pi_word(int j)
{
    const int index = (j - 1) / 32;
    const std::uint64_t pair = (std::uint64_t{TWO_OVER_PI_BITS[index]} << 32) | TWO_OVER_PI_BITS[index + 1];
    return static_cast<std::uint32_t>(pair >> (32 - (j - 1) % 32));
}

// Word i of the little-endian number p[0..count-1], zero outside it.
std::uint64_t word_at(const std::uint32_t* p, int count, int i) { return i >= 0 && i < count ? p[i] : 0; }

// The 64 bits of the little-endian number p[0..count-1] at bit positions
// top-63 .. top, bit top in the highest place.
std::uint64_t bits_below(const std::uint32_t* p, int count, int top)
{
    const int low = top - 63;
    const int index = low >= 0 ? low / 32 : -((31 - low) / 32);  // rounded down
    const int shift = low - 32 * index;
    const std::uint64_t first = word_at(p, count, index) | (word_at(p, count, index + 1) << 32);
    // The third word's bits move up by 64 - shift, in two steps so that no
    // shift is by 64 (shift 0: none of them).
    return (first >> shift) | (word_at(p, count, index + 2) << 32 << (32 - shift));
}

// Payne and Hanek's reduction, for any finite x >= 1/2.
Reduced reduce_exact(double x)
{
    const std::uint64_t bits = bits_of(x);
    const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int e = static_cast<int>(bits >> 52) - 1075;  // x = m 2^e

    // The bits b_j of 2/pi with j <= e - 3 add multiples of 8 to x 2/pi: the
    // window starts after them and holds 256 bits, little-endian.
    const int first = e - 2 > 1 ? e - 2 : 1;
    std::uint32_t window[8];
    for (int k = 0; k < 8; ++k) {
        window[7 - k] = two_over_pi_word(first + 32 * k);
    }
    // product = m * window; x 2/pi = product 2^-point (mod 8).
    const std::uint64_t m_words[2] = {m & 0xFFFFFFFFu, m >> 32};
    std::uint32_t product[10] = {};
    for (int i = 0; i < 8; ++i) {
        std::uint64_t carry = 0;
        for (int j = 0; j < 2; ++j) {
            const std::uint64_t t = window[i] * m_words[j] + product[i + j] + carry;
            product[i + j] = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        product[i + 2] = static_cast<std::uint32_t>(carry);
    }
    const int point = first + 255 - e;

    int quadrant = static_cast<int>(bits_below(product, 10, point + 1) >> 62);
    // The fraction, 192 bits, the first one worth 1/2.
    std::uint64_t f1 = bits_below(product, 10, point - 1);
    std::uint64_t f2 = bits_below(product, 10, point - 65);
    std::uint64_t f3 = bits_below(product, 10, point - 129);
    // Round to the nearest quadrant: a fraction of 1/2 or more becomes
    // 1 - fraction below the next one.
    const bool negative = (f1 >> 63) != 0;
    if (negative) {
        ++quadrant;
        f1 = ~f1;
        f2 = ~f2;
        f3 = ~f3 + 1;
        if (f3 == 0 && ++f2 == 0) {
            ++f1;
        }
    }
    if ((f1 | f2 | f3) == 0) {
        return {quadrant & 3, {0.0, 0.0}};
    }
    // Normalise: the fraction is f1:f2:f3 2^-(192 + shift) with f1's top bit set.
    int shift = 0;
    for (; (f1 >> 63) == 0; ++shift) {
        f1 = (f1 << 1) | (f2 >> 63);
        f2 = (f2 << 1) | (f3 >> 63);
        f3 <<= 1;
    }
    // Its first 106 bits, as a double-double.
    const double hi = static_cast<double>(f1 >> 11) * pow2(-53 - shift);
    const double lo = static_cast<double>(((f1 & 0x7FF) << 42) | (f2 >> 22)) * pow2(-106 - shift);
    const DoubleDouble r = mul(fast_two_sum(hi, lo), PIO2_DD);
    return {quadrant & 3, negative ? neg(r) : r};
}

// The reduction of finite x >= 0.
Reduced reduce(double x)
{
    if (x <= PIO4_ROUNDED) {
        return {0, {x, 0.0}};
    }
    if (x < 0x1p18) {
        // Cody and Waite: n < 2^18, so n times each of the first three pieces
        // is exact, and x - n PIO2_PIECE_1 is exact (the two are within a
        // factor of 2 of each other).
        const int n = static_cast<int>(x * TWO_OVER_PI_ROUNDED + 0.5);
        const double k = n;
        const DoubleDouble s1 = two_sum(x - k * PIO2_PIECE_1, -(k * PIO2_PIECE_2));
        const DoubleDouble s2 = two_sum(s1.hi, -(k * PIO2_PIECE_3));
        const DoubleDouble d = two_prod(k, PIO2_PIECE_4);
        const DoubleDouble s3 = two_sum(s2.hi, -d.hi);
        const double low = ((s1.lo + s2.lo) + s3.lo) - d.lo;
        const DoubleDouble r = fast_two_sum(s3.hi, low);
        if (std::fabs(r.hi) > 0x1p-20) {
            return {n & 3, r};
        }
    }
    return reduce_exact(x);
}

// ---------------------------------------------------------------------------
// Kernels

struct SineCosine {
    DoubleDouble sine;
    DoubleDouble cosine;
};

// sin r and cos r for |r| <= 0.81.
SineCosine sine_cosine(DoubleDouble r)
{
    const bool negative = r.hi < 0;
    if (negative) {
        r = neg(r);
    }
    const int i = static_cast<int>(r.hi * 64.0 + 0.5);
    const DoubleDouble t = two_sum(r.hi - i * (1.0 / 64.0), r.lo);  // |t| <= 1/128
    const DoubleDouble z = mul(t, t);

    // sin t = t + t z (-1/3! + z (1/5! + z (-1/7! + z (1/9! - z/11!)))), the
    // terms past z^2 in double.
    const double sine_tail = -INV_FACT_7 + z.hi * (INV_FACT_9 - z.hi * INV_FACT_11);
    const DoubleDouble sine_poly = sub(mul(z, add(INV_FACT_5, mul(z, sine_tail))), INV_FACT_3);
    const DoubleDouble sine_t = add(t, mul(t, mul(z, sine_poly)));
    // cos t - 1 = z (-1/2 + z (1/4! + z (-1/6! + z (1/8! - z/10!)))).
    const double cosine_tail = -INV_FACT_6 + z.hi * (INV_FACT_8 - z.hi * INV_FACT_10);
    const DoubleDouble cosine_poly = add(mul(z, add(INV_FACT_4, mul(z, cosine_tail))), -0.5);
    const DoubleDouble cosine_t_minus_1 = mul(z, cosine_poly);

    // sin(a + t) = sin a + (sin a (cos t - 1) + cos a sin t), and
    // cos(a + t) = cos a + (cos a (cos t - 1) - sin a sin t).
    const double* row = SIN_COS_TABLE[i];
    const DoubleDouble sine_a = {row[0], row[1]};
    const DoubleDouble cosine_a = {row[2], row[3]};
    const DoubleDouble sine = add(sine_a, add(mul(sine_a, cosine_t_minus_1), mul(cosine_a, sine_t)));
    const DoubleDouble cosine = add(cosine_a, sub(mul(cosine_a, cosine_t_minus_1), mul(sine_a, sine_t)));
    return {negative ? neg(sine) : sine, cosine};
}

// atan u for |u| <= about 1/256:
// u + u z (-1/3 + z (1/5 + z (-1/7 + z (1/9 - z/11 + z^2/13)))), z = u^2.
DoubleDouble atan_small(DoubleDouble u)
{
    const DoubleDouble z = mul(u, u);
    const double tail = INV_9 + z.hi * (-INV_11 + z.hi * INV_13);
    DoubleDouble poly = sub(mul(z, tail), INV_7);
    poly = add(mul(z, poly), INV_5);
    poly = sub(mul(z, poly), INV_3);
    return add(u, mul(u, mul(z, poly)));
}

// atan(num / den) for 0 <= num <= den, den > 0.
DoubleDouble atan_of_ratio(DoubleDouble num, DoubleDouble den)
{
    const int i = static_cast<int>(num.hi / den.hi * 128.0 + 0.5);
    const double c = i * (1.0 / 128.0);
    const DoubleDouble u = div(sub(num, mul(den, c)), add(den, mul(num, c)));
    return add(DoubleDouble{ATAN_TABLE[i][0], ATAN_TABLE[i][1]}, atan_small(u));
}

// The angle of the point (x, y), x >= 0, y >= 0, not both 0, in [0, pi/2].
// Both lie between 2^-70 and 2^70 or are 0, so that no step overflows or
// underflows.
DoubleDouble first_quadrant_angle(DoubleDouble y, DoubleDouble x)
{
    if (y.hi <= x.hi) {
        return atan_of_ratio(y, x);
    }
    return sub(PIO2_DD, atan_of_ratio(x, y));
}

// The side of the midpoint m = m_hi + m_lo on which sqrt(a^2 + b^2) lies, as
// the sign (-1, 0 or 1) of a^2 + b^2 - m^2, computed exactly. For the scaled
// arguments of hypot (1 <= a < 2, 2^-61 <= b <= a) with m_lo 0 or a power of
// two, every product below is exact. The eight terms are summed by
// Shewchuk's growing expansion: each term is added with two_sum to every
// component, so that the components stay exact, non-overlapping and in
// increasing order of magnitude; the last non-zero one has the sign.
int side_of_midpoint(double a, double b, double m_hi, double m_lo)
{
    const DoubleDouble a2 = two_prod(a, a);
    const DoubleDouble b2 = two_prod(b, b);
    const DoubleDouble m2 = two_prod(m_hi, m_hi);
    const double terms[8] = {a2.hi, a2.lo, b2.hi, b2.lo, -m2.hi, -m2.lo, -(2.0 * m_hi * m_lo), -(m_lo * m_lo)};
    double expansion[8] = {};
    int length = 0;
    for (const double term : terms) {
        double carry = term;
        for (int j = 0; j < length; ++j) {
            const DoubleDouble s = two_sum(carry, expansion[j]);
            expansion[j] = s.lo;
            carry = s.hi;
        }
        expansion[length++] = carry;
    }
    for (int j = length - 1; j >= 0; --j) {
        if (expansion[j] != 0) {
            return expansion[j] > 0 ? 1 : -1;
        }
    }
    return 0;
}

// x = m 2^e with m odd, for finite x > 0.
struct OddForm {
    std::uint64_t m;
    int e;
};

OddForm odd_form(double x)
{
    const std::uint64_t bits = bits_of(x);
    const int biased = static_cast<int>(bits >> 52);
    std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
    int e = -1074;
    if (biased != 0) {
        m |= std::uint64_t{1} << 52;
        e = biased - 1075;
    }
    while ((m & 1) == 0) {
        m >>= 1;
        ++e;
    }
    return {m, e};
}

// a/b rounded to double for finite a, b > 0 whose quotient is at most 2^-1022,
// except that a quotient exactly halfway between two multiples of 2^-1074
// gives the lower one instead of the even one: what a value a hair below
// a/b rounds to. With a = ma 2^ea and b = mb 2^eb (ma, mb odd), a/b is such
// a midpoint, an odd multiple of 2^-1075, only when mb divides ma and
// ea - eb = -1075. (Above 2^-1022 no quotient of two doubles is a midpoint:
// an odd significand of 54 bits times an odd mb has more than 53 bits.)
double quotient_rounded_down_at_ties(double a, double b)
{
    const OddForm oa = odd_form(a);
    const OddForm ob = odd_form(b);
    if (oa.e - ob.e != -1075 || oa.m % ob.m != 0) {
        return a / b;
    }
    return from_bits((oa.m / ob.m) >> 1);  // the multiple of 2^-1074 below
}

}  // namespace

// ---------------------------------------------------------------------------
// The functions

DoubleDouble two_prod(double a, double b)
{
    const double p = a * b;
    const DoubleDouble as = split(a);
    const DoubleDouble bs = split(b);
    const double e = ((as.hi * bs.hi - p) + as.hi * bs.lo + as.lo * bs.hi) + as.lo * bs.lo;
    return {p, e};
}

SineAndCosine portable_sin_cos(double x)
{
    const double a = std::fabs(x);
    if (!(a <= DBL_MAX)) {
        return {x - x, x - x};  // NaN for NaN and infinities
    }
    if (a < 0x1p-27) {
        return {x, 1.0};  // x - x^3/6 rounds to x, 1 - x^2/2 to 1
    }
    const Reduced reduced = reduce(a);
    const SineCosine sc = sine_cosine(reduced.r);
    const DoubleDouble sines[4] = {sc.sine, sc.cosine, neg(sc.sine), neg(sc.cosine)};
    const DoubleDouble cosines[4] = {sc.cosine, neg(sc.sine), neg(sc.cosine), sc.sine};
    return {with_sign_of(to_double(sines[reduced.quadrant]), x), to_double(cosines[reduced.quadrant])};
}

double portable_sin(double x) { return portable_sin_cos(x).sine; }

double portable_cos(double x) { return portable_sin_cos(x).cosine; }

double portable_atan(double x)
{
    if (std::isnan(x)) {
        return x + x;
    }
    const double a = std::fabs(x);
    if (a < 0x1p-28) {
        return x;  // x - x^3/3 rounds to x
    }
    // Past 2^60, atan a = pi/2 - 1/a to far better than the rounding.
    const DoubleDouble angle =
        a > 0x1p60 ? add(PIO2_DD, -1.0 / a) : first_quadrant_angle({a, 0.0}, {1.0, 0.0});
    return with_sign_of(to_double(angle), x);
}

double portable_asin(double x)
{
    if (std::isnan(x)) {
        return x + x;
    }
    const double a = std::fabs(x);
    if (a > 1.0) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (a < 0x1p-27) {
        return x;  // x + x^3/6 rounds to x
    }
    if (a == 1.0) {
        return with_sign_of(PIO2_DD.hi, x);
    }
    // 1 - a^2, as (1 - a)(1 + a) when that saves the cancellation.
    const DoubleDouble one_minus_square = a >= 0.5 ? mul(two_sum(1.0, a), 1.0 - a)
                                                   : sub(DoubleDouble{1.0, 0.0}, two_prod(a, a));
    const DoubleDouble angle = first_quadrant_angle({a, 0.0}, sqrt_dd(one_minus_square));
    return with_sign_of(to_double(angle), x);
}

double portable_atan2(double y, double x)
{
    if (std::isnan(x) || std::isnan(y)) {
        return x + y;
    }
    const double ax = std::fabs(x);
    const double ay = std::fabs(y);
    const bool left = std::signbit(x);  // x < 0 or x = -0
    // On an axis, or infinite: the angle's limit.
    if (ax > DBL_MAX && ay > DBL_MAX) {
        return with_sign_of(left ? THREE_PIO4_ROUNDED : PIO4_ROUNDED, y);
    }
    if (ay == 0 || ax > DBL_MAX) {
        return with_sign_of(left ? PI_DD.hi : 0.0, y);
    }
    if (ax == 0 || ay > DBL_MAX) {
        return with_sign_of(PIO2_DD.hi, y);
    }

    // Scale by a power of two so that the larger of the two lies in [1, 2).
    const int e = exponent_of(ax > ay ? ax : ay);
    const double sx = scale(ax, -e);
    const double sy = scale(ay, -e);
    DoubleDouble angle;
    if (sy < 0x1p-60) {
        // y/x < 2^-60: atan(y/x) = y/x (1 - (y/x)^2/3 ...), and no quotient of
        // two doubles is close enough to a midpoint for the factor to matter,
        // but for one exactly on a midpoint between two subnormals: there the
        // exact angle, a hair smaller, rounds down, not to even.
        const double q = ay / ax;
        if (!left) {
            return with_sign_of(q <= DBL_MIN ? quotient_rounded_down_at_ties(ay, ax) : q, y);
        }
        angle = add(PI_DD, -q);
    } else if (sx < 0x1p-60) {
        // x/y < 2^-60: pi/2 -+ x/y.
        angle = add(PIO2_DD, left ? ax / ay : -(ax / ay));
    } else {
        angle = first_quadrant_angle({sy, 0.0}, {sx, 0.0});
        if (left) {
            angle = sub(PI_DD, angle);
        }
    }
    return with_sign_of(to_double(angle), y);
}

double portable_hypot(double x, double y)
{
    const double ax = std::fabs(x);
    const double ay = std::fabs(y);
    if (ax > DBL_MAX || ay > DBL_MAX) {
        return std::numeric_limits<double>::infinity();  // even when the other one is NaN
    }
    if (std::isnan(x) || std::isnan(y)) {
        return x + y;
    }
    const double big = ax > ay ? ax : ay;
    const double small = ax > ay ? ay : ax;
    if (small == 0) {
        return big;
    }
    const int e = exponent_of(big);
    if (exponent_of(small) < e - 61) {
        return big;  // small/big < 2^-60: big (1 + (small/big)^2/2) rounds to big
    }
    // 1 <= a < 2 and 2^-61 <= b <= a: the squares and their sum are exact
    // double-doubles.
    const double a = scale(big, -e);
    const double b = scale(small, -e);
    const DoubleDouble root = sqrt_dd(add(two_prod(a, a), two_prod(b, b)));

    // Round to double; close to a midpoint, decide its side exactly.
    double h = root.hi;
    if (root.lo != 0) {
        const int eh = exponent_of(h);
        // Half the gap to the neighbour on lo's side (which halves below a
        // power of two).
        const double half = root.lo < 0 && h == pow2(eh) ? pow2(eh - 54) : pow2(eh - 53);
        if (std::fabs(std::fabs(root.lo) - half) < pow2(eh - 96)) {
            const double delta = root.lo > 0 ? half : -half;
            const int side = side_of_midpoint(a, b, h, delta);
            // A tie goes to the even one of the two neighbours.
            if (side * delta > 0 || (side == 0 && (bits_of(h) & 1) != 0)) {
                h += 2.0 * delta;
            }
        }
    }
    if (exponent_of(h) + e >= -1022) {
        return scale(h, e);  // exact, or an overflow to infinity
    }

    // A subnormal result: round to a multiple of 2^-1074, that is of
    // g = 2^(-1074-e) here; the exact value lies between n g and (n + 1) g.
    const double g = pow2(-1074 - e);
    const std::int64_t n = static_cast<std::int64_t>(h / g);  // below 2^52
    const int side = side_of_midpoint(a, b, (static_cast<double>(n) + 0.5) * g, 0.0);
    const std::int64_t rounded = side > 0 || (side == 0 && (n & 1) != 0) ? n + 1 : n;
    return scale(static_cast<double>(rounded), -1074);
}

}  // namespace lumora
