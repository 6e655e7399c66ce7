// Every function against MPFR, bit for bit: over a million arguments each,
// from the ranges the programs use and far beyond, and the special values.
// MPFR rounds correctly to nearest, so any difference is a result of ours
// that is not the double nearest to the exact value.
#include <gtest/gtest.h>
#include <mpfr.h>

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>

#include "basics/portable_math.h"

namespace lumora {

namespace {

constexpr int ARGUMENTS_PER_FUNCTION = 1 << 20;
constexpr double PI_ROUNDED = 0x1.921fb54442d18p+1;
constexpr double PIO2_ROUNDED = 0x1.921fb54442d18p+0;

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

// The same double, sign of zero included; any NaN matches any NaN.
bool same_double(double a, double b) { return (std::isnan(a) && std::isnan(b)) || bits_of(a) == bits_of(b); }

// The memory of GMP and MPFR, from a fixed arena of this program: blocks of
// power-of-two sizes, a list of the freed ones for each size. MPFR's
// functions take and give back temporary memory on every call; from the C
// library's allocator, which AddressSanitizer replaces by a far slower one,
// that would take most of the test's time. It serves a few live numbers and
// temporaries at a time, so that the arena is never used up.
class Arena {
public:
    // From here on GMP and MPFR take their memory from the arena, before
    // they have taken any other.
    static void install()
    {
        static const bool installed = (mp_set_memory_functions(allocate, reallocate, release), true);
        static_cast<void>(installed);
    }

private:
    static constexpr std::size_t SIZE = std::size_t{16} << 20;
    static constexpr int SMALLEST_CLASS = 4;  // 16 bytes, aligned for limbs

    static Arena& the()
    {
        static Arena arena;
        return arena;
    }
    static int size_class(std::size_t n)
    {
        int c = SMALLEST_CLASS;
        while ((std::size_t{1} << c) < n) {
            ++c;
        }
        return c;
    }
    static void* allocate(std::size_t n)
    {
        Arena& a = the();
        const int c = size_class(n);
        if (a.freed_[c] != nullptr) {
            void* block = a.freed_[c];
            std::memcpy(&a.freed_[c], block, sizeof(void*));
            return block;
        }
        if (SIZE - a.used_ < std::size_t{1} << c) {
            std::fprintf(stderr, "The arena of GMP and MPFR is used up\n");
            std::abort();
        }
        void* block = a.bytes_ + a.used_;
        a.used_ += std::size_t{1} << c;
        return block;
    }
    static void release(void* block, std::size_t n)
    {
        Arena& a = the();
        const int c = size_class(n);
        std::memcpy(block, &a.freed_[c], sizeof(void*));
        a.freed_[c] = block;
    }
    static void* reallocate(void* block, std::size_t old_size, std::size_t new_size)
    {
        if (size_class(old_size) == size_class(new_size)) {
            return block;
        }
        void* moved = allocate(new_size);
        std::memcpy(moved, block, old_size < new_size ? old_size : new_size);
        release(block, old_size);
        return moved;
    }

    alignas(16) unsigned char bytes_[SIZE];
    std::size_t used_ = 0;
    void* freed_[64] = {};
};

// MPFR numbers of 53 bits in the exponent range of doubles, with subnormal
// results rounded as doubles round them: f(a, b) rounded to nearest, as a
// double. The numbers are made once and reused for every call.
class DoubleReference {
public:
    using Function = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t);

    DoubleReference() : emin_(mpfr_get_emin()), emax_(mpfr_get_emax())
    {
        Arena::install();
        mpfr_set_emin(-1073);  // 2^-1074 = 0.5 2^-1073 in MPFR's convention
        mpfr_set_emax(1024);
        mpfr_init2(a_, 53);
        mpfr_init2(b_, 53);
        mpfr_init2(result_, 53);
    }
    ~DoubleReference()
    {
        mpfr_clear(a_);
        mpfr_clear(b_);
        mpfr_clear(result_);
        mpfr_free_cache();
        mpfr_set_emin(emin_);
        mpfr_set_emax(emax_);
    }
    DoubleReference(const DoubleReference&) = delete;
    DoubleReference& operator=(const DoubleReference&) = delete;

    double operator()(Function f, double a, double b)
    {
        mpfr_set_d(a_, a, MPFR_RNDN);  // exact
        mpfr_set_d(b_, b, MPFR_RNDN);
        const int inexact = f(result_, a_, b_, MPFR_RNDN);
        mpfr_subnormalize(result_, inexact, MPFR_RNDN);
        return mpfr_get_d(result_, MPFR_RNDN);  // exact
    }

private:
    mpfr_exp_t emin_;
    mpfr_exp_t emax_;
    mpfr_t a_;
    mpfr_t b_;
    mpfr_t result_;
};

// The arguments: a fixed sequence of 64-bit words (SplitMix64, defined here
// so that every run and every library draws the same ones) made into
// doubles of the kinds below. One draw per statement: the order in which the
// operands of one expression are evaluated is not fixed.
class Arguments {
public:
    explicit Arguments(std::uint64_t seed) : state_(seed)
    {
        Arena::install();
        mpfr_init2(wide_, 128);
        mpfr_init2(square_, 128);
    }
    ~Arguments()
    {
        mpfr_clear(wide_);
        mpfr_clear(square_);
    }
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;

    std::uint64_t word()
    {
        state_ += 0x9E3779B97F4A7C15u;
        std::uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }
    double uniform() { return static_cast<double>(word() >> 11) * 0x1p-53; }  // [0, 1)
    double between(double low, double high) { return low + (high - low) * uniform(); }
    std::int64_t integer(std::int64_t low, std::int64_t high)  // [low, high]
    {
        return low + static_cast<std::int64_t>(word() % static_cast<std::uint64_t>(high - low + 1));
    }
    double sign() { return (word() & 1) != 0 ? -1.0 : 1.0; }

    // Either sign, all 52 fraction bits drawn, the exponent drawn from
    // [low, high] (-1023: a subnormal or zero).
    double with_exponent(int low, int high)
    {
        const std::int64_t exponent = integer(low, high);
        const std::uint64_t bits = word() & 0x800FFFFFFFFFFFFFu;
        return from_bits(bits | (static_cast<std::uint64_t>(exponent + 1023) << 52));
    }

    // A length from 1e-3 to 1e5, either sign.
    double length()
    {
        for (;;) {
            const double v = with_exponent(-10, 16);
            if (std::fabs(v) >= 1e-3 && std::fabs(v) <= 1e5) {
                return v;
            }
        }
    }

    // The sides a, b (1 <= a < 2) of a right triangle whose hypotenuse lies
    // within about 2^-90 to 2^-105 of the midpoint between two doubles: the
    // midpoint m, a few units in the last place above a, is drawn, and
    // b = sqrt(m^2 - a^2) rounded; the rounding of b moves the hypotenuse by
    // less than b^2 2^-53.
    void near_hypotenuse_midpoint(double& a, double& b)
    {
        a = 1.0 + uniform();
        const int range = static_cast<int>(integer(0, 12));
        const double steps = static_cast<double>(integer(0, std::int64_t{1} << range));
        mpfr_set_d(wide_, a, MPFR_RNDN);
        mpfr_sqr(square_, wide_, MPFR_RNDN);                       // a^2, exact
        mpfr_add_d(wide_, wide_, (steps + 0.5) * 0x1p-52, MPFR_RNDN);  // m, exact
        mpfr_sqr(wide_, wide_, MPFR_RNDN);                         // m^2, exact
        mpfr_sub(wide_, wide_, square_, MPFR_RNDN);                // exact
        mpfr_sqrt(wide_, wide_, MPFR_RNDN);
        b = mpfr_get_d(wide_, MPFR_RNDN);
    }

    // The legs of a right triangle with whole sides whose hypotenuse, of 54
    // bits, lies exactly halfway between two doubles: m^2 - n^2, 2 m n and
    // m^2 + n^2 with m > n of opposite parity, 2^53 <= m^2 + n^2 < 2^54 and
    // m^2 - n^2 < 2^53 (it is odd).
    void halfway_hypotenuse(double& a, double& b)
    {
        const std::uint64_t n = static_cast<std::uint64_t>(integer(std::int64_t{1} << 26, 87000000));
        const std::uint64_t top = std::uint64_t{1} << 53;
        std::uint64_t m = n + 1 + 2 * static_cast<std::uint64_t>(integer(0, 1 << 20));
        while (m * m - n * n >= top || m * m + n * n >= 2 * top) {
            m -= 2;
        }
        a = static_cast<double>(m * m - n * n);
        b = static_cast<double>(2 * m * n);
    }

private:
    std::uint64_t state_;
    mpfr_t wide_;
    mpfr_t square_;
};

// The argument makers, one per function, each a mix of the kinds of
// arguments it meets.
void angles(Arguments& in, double& a, double&)
{
    const double pick = in.uniform();
    if (pick < 0.30) {
        a = in.between(-2 * PI_ROUNDED, 2 * PI_ROUNDED);  // up to +-360 degrees
    } else if (pick < 0.45) {
        // Degrees with three decimals, turned into radians as the programs do.
        const double degrees = static_cast<double>(in.integer(-360000, 360000)) / 1000.0;
        a = degrees / 180.0 * PI_ROUNDED;
    } else if (pick < 0.55) {
        a = in.with_exponent(-40, -3);  // small; sin x rounds to x below 2^-27
    } else if (pick < 0.65) {
        // Within 64 units in the last place of a multiple of pi/2, where the
        // reduction cancels most bits.
        const double k = static_cast<double>(in.integer(1, 1 << 20));
        const std::int64_t offset = in.integer(-64, 64);
        a = in.sign() * from_bits(bits_of(k * PIO2_ROUNDED) + static_cast<std::uint64_t>(offset));
    } else if (pick < 0.75) {
        a = in.with_exponent(2, 20);  // across the change of reduction method at 2^18
    } else if (pick < 0.88) {
        a = in.with_exponent(18, 73);  // huge, up to about 1e22
    } else {
        a = in.with_exponent(74, 1023);  // and beyond, to the largest double
    }
}

void tangents(Arguments& in, double& a, double&)
{
    const double pick = in.uniform();
    if (pick < 0.35) {
        a = in.with_exponent(-20, 19);
    } else if (pick < 0.55) {
        a = in.between(-1.0, 1.0);
    } else if (pick < 0.75) {
        const double height = in.between(-50.0, 50.0);  // a height over a range, in metres
        a = height / in.between(0.5, 2000.0);
    } else if (pick < 0.85) {
        a = in.with_exponent(-60, -21);  // atan x rounds to x below 2^-28
    } else if (pick < 0.95) {
        a = in.with_exponent(20, 70);  // across 2^60, where pi/2 - 1/x takes over
    } else {
        a = in.with_exponent(70, 1023);
    }
}

void sines(Arguments& in, double& a, double&)
{
    const double pick = in.uniform();
    if (pick < 0.45) {
        a = in.between(-1.0, 1.0);
    } else if (pick < 0.65) {
        a = in.sign() * (1.0 - std::fabs(in.with_exponent(-53, -2)));  // near +-1
    } else if (pick < 0.80) {
        // A vector's component over its length, with whole components.
        const double y = static_cast<double>(in.integer(-32768, 32767));
        const double x = static_cast<double>(in.integer(-32768, 32767));
        a = x == 0 && y == 0 ? 0.0 : y / std::sqrt(x * x + y * y);
    } else if (pick < 0.92) {
        a = in.with_exponent(-40, -2);
    } else {
        a = in.with_exponent(-1023, -41);  // down to subnormals; asin x rounds to x
    }
}

void points(Arguments& in, double& y, double& x)
{
    const double pick = in.uniform();
    if (pick < 0.35) {
        y = in.between(-1e5, 1e5);
        x = in.between(-1e5, 1e5);
    } else if (pick < 0.55) {
        y = static_cast<double>(in.integer(-32768, 32767));  // a model's vector words
        x = static_cast<double>(in.integer(-32768, 32767));
    } else if (pick < 0.83) {
        y = in.with_exponent(-70, 70);  // quotients up to 2^140 and down to 2^-140
        x = in.with_exponent(-70, 70);
    } else if (pick < 0.85) {
        // y/x = t 2^-1075 with t odd: exactly halfway between two subnormals.
        const std::int64_t mx = 2 * in.integer(0, (1 << 19) - 1) + 1;
        const std::int64_t t = 2 * in.integer(0, ((std::int64_t{1} << 53) / mx - 1) / 2) + 1;
        const int e = static_cast<int>(in.integer(-1074, -100));
        y = in.sign() * std::ldexp(static_cast<double>(t * mx), e);
        x = in.sign() * std::ldexp(static_cast<double>(mx), e + 1075);
    } else {
        y = in.with_exponent(-1023, 1023);  // any finite point
        x = in.with_exponent(-1023, 1023);
    }
}

void sides(Arguments& in, double& a, double& b)
{
    const double pick = in.uniform();
    if (pick < 0.35) {
        a = in.length();
        b = in.length();
    } else if (pick < 0.50) {
        a = static_cast<double>(in.integer(-32768, 32767));
        b = static_cast<double>(in.integer(-32768, 32767));
    } else if (pick < 0.60) {
        a = static_cast<double>(in.integer(0, std::int64_t{1} << 26));  // exact squares
        b = static_cast<double>(in.integer(0, std::int64_t{1} << 26));
    } else if (pick < 0.67) {
        in.halfway_hypotenuse(a, b);
        const int scale = static_cast<int>(in.integer(-600, 600));
        a = std::ldexp(a, scale);
        b = std::ldexp(b, scale);
    } else if (pick < 0.77) {
        in.near_hypotenuse_midpoint(a, b);
        const int scale = static_cast<int>(in.integer(-600, 600));
        a = std::ldexp(a, scale);
        b = std::ldexp(b, scale);
    } else if (pick < 0.87) {
        // One side about 2^-60 of the other, where the smaller stops counting.
        const int scale = static_cast<int>(in.integer(-900, 900));
        a = std::ldexp(in.with_exponent(0, 0), scale);
        b = std::ldexp(in.with_exponent(-66, -54), scale);
    } else {
        a = in.with_exponent(-1023, 1023);  // any finite sides: overflow, subnormals
        b = in.with_exponent(-1023, 1023);
    }
}

// Zeros, subnormals, the limits of the double range and of the functions'
// shortcuts, multiples of pi/2 near and far, infinities and NaN; each with
// both signs.
const double SPECIAL_MAGNITUDES[] = {
    0.0, 0x1p-1074, 0x1.ffffffffffffep-1023, DBL_MIN, 0x1.fffffffffffffp-29, 0x1p-28, 0x1.fffffffffffffp-28,
    0x1p-27, 0x1.0000000000001p-27, 0.5, 0x1.fffffffffffffp-1, 1.0, 0x1.0000000000001p+0, 2.0,
    0x1.921fb54442d18p-1, PIO2_ROUNDED, PI_ROUNDED, 0x1p+18, 0x1p+60, 0x1.0000000000001p+60, 1e22,
    0x1.6ac5b262ca1ffp+849, 0x1p+1023, DBL_MAX, std::numeric_limits<double>::infinity(),
    std::numeric_limits<double>::quiet_NaN(),
};

using MakeArguments = void (*)(Arguments&, double&, double&);

struct CheckedFunction {
    const char* name;
    double (*ours)(double, double);
    DoubleReference::Function reference;
    MakeArguments make;
    bool binary;
    std::uint64_t seed;
};

// gtest names a failing case by its function.
void PrintTo(const CheckedFunction& f, std::ostream* os) { *os << f.name; }

const CheckedFunction CHECKED[] = {
    {"sin", [](double x, double) { return portable_sin(x); },
     [](mpfr_ptr r, mpfr_srcptr x, mpfr_srcptr, mpfr_rnd_t rnd) { return mpfr_sin(r, x, rnd); }, angles, false, 1},
    {"cos", [](double x, double) { return portable_cos(x); },
     [](mpfr_ptr r, mpfr_srcptr x, mpfr_srcptr, mpfr_rnd_t rnd) { return mpfr_cos(r, x, rnd); }, angles, false, 2},
    {"atan", [](double x, double) { return portable_atan(x); },
     [](mpfr_ptr r, mpfr_srcptr x, mpfr_srcptr, mpfr_rnd_t rnd) { return mpfr_atan(r, x, rnd); }, tangents, false, 3},
    {"asin", [](double x, double) { return portable_asin(x); },
     [](mpfr_ptr r, mpfr_srcptr x, mpfr_srcptr, mpfr_rnd_t rnd) { return mpfr_asin(r, x, rnd); }, sines, false, 4},
    {"atan2", portable_atan2, mpfr_atan2, points, true, 5},
    {"hypot", portable_hypot, mpfr_hypot, sides, true, 6},
};

// Counts the differences and keeps the first few for the report.
class Differences {
public:
    explicit Differences(const char* name) : name_(name) {}

    void check(double a, double b, bool binary, double ours, double reference)
    {
        ++checked_;
        if (same_double(ours, reference)) {
            return;
        }
        if (++count_ <= 10) {
            char line[160];
            const int length = binary ? std::snprintf(line, sizeof line, "%s(%a, %a)", name_, a, b)
                                      : std::snprintf(line, sizeof line, "%s(%a)", name_, a);
            std::snprintf(line + length, sizeof line - length, " = %a, correctly rounded %a\n", ours, reference);
            first_ += line;
        }
    }
    long count() const { return count_; }
    long checked() const { return checked_; }
    const std::string& first() const { return first_; }

private:
    const char* name_;
    long count_ = 0;
    long checked_ = 0;
    std::string first_;
};

class AgainstMpfr : public testing::TestWithParam<CheckedFunction> {};

TEST_P(AgainstMpfr, EveryResultIsTheNearestDouble)
{
    const CheckedFunction& f = GetParam();
    DoubleReference reference;
    Arguments in(f.seed);
    Differences differences(f.name);
    for (int i = 0; i < ARGUMENTS_PER_FUNCTION; ++i) {
        double a = 0;
        double b = 0;
        f.make(in, a, b);
        differences.check(a, b, f.binary, f.ours(a, b), reference(f.reference, a, b));
    }
    for (const double magnitude_a : SPECIAL_MAGNITUDES) {
        for (const double a : {magnitude_a, -magnitude_a}) {
            if (!f.binary) {
                differences.check(a, 0, false, f.ours(a, 0), reference(f.reference, a, 0));
                continue;
            }
            for (const double magnitude_b : SPECIAL_MAGNITUDES) {
                for (const double b : {magnitude_b, -magnitude_b}) {
                    differences.check(a, b, true, f.ours(a, b), reference(f.reference, a, b));
                }
            }
        }
    }
    EXPECT_EQ(differences.count(), 0) << differences.first();
    std::printf("%s: %ld arguments, %ld not the nearest double\n", f.name, differences.checked(),
                differences.count());
}

INSTANTIATE_TEST_SUITE_P(PortableMath, AgainstMpfr, testing::ValuesIn(CHECKED),
                         [](const testing::TestParamInfo<CheckedFunction>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace

}  // namespace lumora
