#!/usr/bin/env python3
"""Prints the constants and tables of basics/portable_math.cpp: the C++ lines
between its marks "BEGIN lines printed by tools/portable_math_tables.py" and
"END lines printed by ...", which are this output pasted unchanged (a test
compares the two).

Everything is computed with Python integers in fixed point (no floating-point
library): pi from Machin's formula, arctangents from Euler's series, sines and
cosines from their Taylor series. A value v becomes a pair of doubles
hi + lo: hi is v rounded to nearest, lo is v - hi rounded to nearest (Python's
int / int and Fraction -> float conversions are correctly rounded).
"""
from fractions import Fraction

BITS = 1600  # fixed-point fraction bits of every intermediate value
ONE = 1 << BITS


def arctan_inverse(n):
    """atan(1/n) * 2^BITS by the alternating Taylor series."""
    power = ONE // n
    total = power
    k = 1
    while power:
        power //= n * n
        term = power // (2 * k + 1)
        total += -term if k % 2 else term
        k += 1
    return total


def arctan_ratio(p, q):
    """atan(p/q) * 2^BITS for 0 <= p <= q by Euler's series
    atan(x) = sum 2^(2n) (n!)^2 / (2n+1)! * x^(2n+1) / (1+x^2)^(n+1)."""
    s = p * p + q * q
    term = ONE * p * q // s
    total = term
    n = 1
    while term:
        term = term * (2 * n) * p * p // ((2 * n + 1) * s)
        total += term
        n += 1
    return total


def sin_cos_ratio(p, q):
    """(sin(p/q), cos(p/q)) * 2^BITS by their Taylor series."""
    sine = 0
    cosine = 0
    term = ONE  # x^k / k!
    k = 0
    while term:
        if k % 4 == 0:
            cosine += term
        elif k % 4 == 1:
            sine += term
        elif k % 4 == 2:
            cosine -= term
        else:
            sine -= term
        k += 1
        term = term * p // (q * k)
    return sine, cosine


PI = 16 * arctan_inverse(5) - 4 * arctan_inverse(239)
assert abs(PI - 4 * arctan_ratio(1, 1)) < 1 << 16, "Machin and Euler disagree"


def as_double_double(v):
    """(hi, lo) for the fixed-point value v."""
    exact = Fraction(v, ONE)
    hi = float(exact)
    lo = float(exact - Fraction(hi))
    return hi, lo


def hexd(x):
    return "0.0" if x == 0 else x.hex()


def dd(v):
    """The C++ initialiser {hi, lo} of the fixed-point value v."""
    hi, lo = as_double_double(v)
    return "{%s, %s}" % (hexd(hi), hexd(lo))


def rounded(v):
    """v rounded to double, as C++ text."""
    return hexd(as_double_double(v)[0])


# The coefficients of the series: (name, n, whether as a double-double) for 1/n.
RECIPROCALS = (
    ("INV_3", 3, True), ("INV_5", 5, True), ("INV_7", 7, True),
    ("INV_9", 9, False), ("INV_11", 11, False), ("INV_13", 13, False),
    ("INV_FACT_3", 6, True), ("INV_FACT_4", 24, True), ("INV_FACT_5", 120, True),
    ("INV_FACT_6", 720, False), ("INV_FACT_7", 5040, False), ("INV_FACT_8", 40320, False),
    ("INV_FACT_9", 362880, False), ("INV_FACT_10", 3628800, False), ("INV_FACT_11", 39916800, False),
)


def main():
    out = []
    out.append("constexpr DoubleDouble PI_DD = %s;" % dd(PI))
    out.append("constexpr DoubleDouble PIO2_DD = %s;" % dd(PI // 2))
    out.append("constexpr double PIO4_ROUNDED = %s;" % rounded(PI // 4))
    out.append("constexpr double THREE_PIO4_ROUNDED = %s;" % rounded(3 * PI // 4))
    out.append("constexpr double TWO_OVER_PI_ROUNDED = %s;" % rounded(2 * ONE * ONE // PI))

    # pi/2 cut by bit position into pieces of at most 33 bits (the bits of
    # 2^0 .. 2^-32, of 2^-33 .. 2^-65, of 2^-66 .. 2^-98) and the rest rounded.
    out.append("")
    out.append("// pi/2 = PIO2_PIECE_1 + PIO2_PIECE_2 + PIO2_PIECE_3 + PIO2_PIECE_4 + O(2^-160):")
    out.append("// the first three are the bits of pi/2 from 2^0 to 2^-32, from 2^-33 to")
    out.append("// 2^-65 and from 2^-66 to 2^-98 (33 bits or fewer each, so that n times a")
    out.append("// piece is exact for n < 2^20), the fourth the rest rounded.")
    half_pi = PI // 2
    taken = 0
    for number, last in enumerate((32, 65, 98), 1):
        piece = (half_pi >> (BITS - last)) << (BITS - last)
        piece -= taken
        assert as_double_double(piece)[1] == 0
        out.append("constexpr double PIO2_PIECE_%d = %s;" % (number, rounded(piece)))
        taken += piece
    out.append("constexpr double PIO2_PIECE_4 = %s;" % rounded(half_pi - taken))

    # Bits of 2/pi after the binary point, 32 per word, most significant first.
    words = 40
    two_over_pi = (2 * ONE * (1 << (32 * words))) // PI  # 2/pi * 2^(32 words)
    out.append("")
    out.append("// The bits of 2/pi after the binary point, 32 to a word, most significant")
    out.append("// first: enough for the reduction of the largest double (bits up to")
    out.append("// 2^-(969 + 255) are used).")
    out.append("constexpr std::uint32_t TWO_OVER_PI_BITS[%d] = {" % words)
    line = ["0x%08X" % ((two_over_pi >> (32 * (words - 1 - i))) & 0xFFFFFFFF) for i in range(words)]
    for i in range(0, words, 8):
        out.append("    " + ", ".join(line[i:i + 8]) + ",")
    out.append("};")

    out.append("")
    out.append("// sin(i/64) (hi, lo) and cos(i/64) (hi, lo) for i = 0 .. 52.")
    out.append("constexpr double SIN_COS_TABLE[53][4] = {")
    for i in range(53):
        s, c = sin_cos_ratio(i, 64)
        sh, sl = as_double_double(s)
        ch, cl = as_double_double(c)
        out.append("    {%s, %s, %s, %s},  // %d" % (hexd(sh), hexd(sl), hexd(ch), hexd(cl), i))
    out.append("};")

    out.append("")
    out.append("// atan(i/128) (hi, lo) for i = 0 .. 128.")
    out.append("constexpr double ATAN_TABLE[129][2] = {")
    for i in range(129):
        out.append("    %s,  // %d" % (dd(arctan_ratio(i, 128)), i))
    out.append("};")

    out.append("")
    out.append("// Coefficients 1/n! and 1/n of the series, as double-doubles where the")
    out.append("// accuracy needs it.")
    for name, n, double_double in RECIPROCALS:
        if double_double:
            out.append("constexpr DoubleDouble %s = %s;" % (name, dd(ONE // n)))
        else:
            out.append("constexpr double %s = %s;" % (name, rounded(ONE // n)))
    print("\n".join(out))


if __name__ == "__main__":
    main()
