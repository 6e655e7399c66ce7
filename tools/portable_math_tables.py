#!/usr/bin/env python3
"""Prints the constants and tables of basics/portable_math.cpp, to paste there.

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


def main():
    # Bits of 2/pi after the binary point, 32 per word, most significant first.
    words = 40
    two_over_pi = (2 * ONE * (1 << (32 * words))) // PI  # 2/pi * 2^(32 words)
    print("TWO_OVER_PI_BITS (%d words):" % words)
    line = []
    for i in range(words):
        line.append("0x%08X" % ((two_over_pi >> (32 * (words - 1 - i))) & 0xFFFFFFFF))
    for i in range(0, words, 8):
        print("    " + ", ".join(line[i:i + 8]) + ",")

    # pi/2 cut by bit position into pieces of at most 33 bits (the bits of
    # 2^0 .. 2^-32, of 2^-33 .. 2^-65, of 2^-66 .. 2^-98) and the rest rounded.
    half_pi = PI // 2
    taken = 0
    for last in (32, 65, 98):
        piece = (half_pi >> (BITS - last)) << (BITS - last)
        piece -= taken
        print("PIO2 piece (to 2^-%d): %s" % (last, hexd(as_double_double(piece)[0])))
        assert as_double_double(piece)[1] == 0
        taken += piece
    print("PIO2 piece (rounded rest): %s" % hexd(as_double_double(half_pi - taken)[0]))

    for name, v in (("PI", PI), ("PIO2", PI // 2), ("PIO4", PI // 4), ("THREE_PIO4", 3 * PI // 4),
                    ("TWO_OVER_PI", 2 * ONE * ONE // PI)):
        hi, lo = as_double_double(v)
        print("%s: {%s, %s}" % (name, hexd(hi), hexd(lo)))

    print("SIN_COS_TABLE (sin hi, sin lo, cos hi, cos lo of i/64):")
    for i in range(53):
        s, c = sin_cos_ratio(i, 64)
        sh, sl = as_double_double(s)
        ch, cl = as_double_double(c)
        print("    {%s, %s, %s, %s},  // %d" % (hexd(sh), hexd(sl), hexd(ch), hexd(cl), i))

    print("ATAN_TABLE (atan(i/128) hi, lo):")
    for i in range(129):
        hi, lo = as_double_double(arctan_ratio(i, 128))
        print("    {%s, %s},  // %d" % (hexd(hi), hexd(lo), i))

    print("Reciprocals 1/n (1/n! for n = 6, 24, 120, ...):")
    for n in (3, 5, 6, 7, 9, 11, 13, 24, 120, 720, 5040, 40320, 362880, 3628800, 39916800):
        hi, lo = as_double_double(ONE // n)
        print("  1/%d: {%s, %s}" % (n, hexd(hi), hexd(lo)))


if __name__ == "__main__":
    main()
