#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "basics/number_text.h"

namespace {

// The text of a value that is not a finite number depends on the sign bit
// alone, on every platform, and is padded like a number.
TEST(NumberText, FixedTextOfEveryKindOfValue)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double value;
        int width;
        int precision;
        const char* text;
    } cases[] = {
        {9.4623, 5, 2, " 9.46"},  {-4.7636, 5, 2, "-4.76"}, {-0.001, 5, 2, "-0.00"}, {0.0, 5, 2, " 0.00"},
        {123.456, 0, 2, "123.46"}, {nan, 5, 2, "  nan"},    {-nan, 5, 2, " -nan"},  {std::copysign(nan, -1.0), 0, 2, "-nan"},
        {inf, 5, 2, "  inf"},      {-inf, 5, 2, " -inf"},   {-inf, 2, 2, "-inf"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fixed_text(c.value, c.width, c.precision), c.text) << c.text;
    }
}

}  // namespace
