#include "lights/light_geometry.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "basics/angles.h"
#include "basics/le_words.h"
#include "basics/portable_math.h"
#include "basics/whole_number.h"
#include "definition/keys.h"

namespace lumora {

namespace {

struct ShapePoint {
    int x;
    int y;
};

// The spot's outline, 100 wide and 100 deep, apex (0, 0) first, body below it.
constexpr ShapePoint spot_shape[OUTLINE_POINTS] = {
    {0, 0},     {-25, -5},  {-40, -15}, {-45, -25}, {-50, -45}, {-45, -65}, {-35, -80}, {-15, -95},
    {0, -100},  {15, -95},  {35, -80},  {45, -65},  {50, -45},  {45, -25},  {40, -15},  {25, -5},
};

constexpr double BEAM_LENGTH = 32767.0;

// One outline unit at the coarsest scale, in metres (1.4142 * 0.125).
constexpr double COARSEST_UNIT = 0.176775;
constexpr double SHAPE_EXTENT = 100.0;
// The depth must span at least 1 / 4.5 shape units before the outline is
// fine enough.
constexpr double DEPTH_FACTOR = 4.5;
constexpr double DEPTH_NEEDED = 1.0;

// Factor that stretches the spot shape to a real extent at unit u.
double spot_factor(double extent, double u) { return extent / (SHAPE_EXTENT * u); }

// 16-bit sum that wraps like the model's words do.
std::int16_t wrapping_sum(std::int16_t a, std::int16_t b) { return signed_word(static_cast<std::uint16_t>(a + b)); }

}  // namespace


double scale_unit(std::uint16_t scale)
{
    if (scale < SCALE_FINEST || scale > SCALE_COARSEST) {
        return 0.0;
    }
    // Halving is exact, so this is the unit build_spot_outline reaches.
    return std::ldexp(COARSEST_UNIT, scale - SCALE_COARSEST);
}

std::uint16_t build_spot_outline(ModelVector (&outline)[OUTLINE_POINTS], double width, double depth, double x_right,
                                 double y_up, double z_forward)
{
    std::uint16_t scale = SCALE_COARSEST;
    double u = COARSEST_UNIT;
    double sx = spot_factor(width, u);
    double sy = spot_factor(depth, u);
    // Halve the unit until the spot's depth covers enough units to draw it.
    while (sy * DEPTH_FACTOR < DEPTH_NEEDED && scale > SCALE_FINEST) {
        scale = static_cast<std::uint16_t>(scale - 1);
        u = u * 0.5;
        sx = sx * 2;
        sy = sy * 2;
    }
    // The spot's apex in outline units of u, in the model's axes.
    const std::int16_t x0 = to_signed_word(x_right / u);
    const std::int16_t y0 = to_signed_word(y_up / u);
    const std::int16_t z0 = to_signed_word(z_forward / u);
    for (unsigned k = 0; k < OUTLINE_POINTS; ++k) {
        // Each term is truncated on its own before the 16-bit sum.
        outline[k].x = wrapping_sum(to_signed_word(spot_shape[k].x * sx), x0);
        outline[k].y = wrapping_sum(to_signed_word(spot_shape[k].y * sy), y0);
        outline[k].z = z0;
    }
    return scale;
}

void compute_light(Diagnostics& diagnostics, const GroundGeometry& ground, const DefinitionSection& section,
                   unsigned index, LightSet& lights)
{
    if (index >= LIGHT_COUNT_MAX) {
        return;
    }
    const unsigned number = index + 1;

    // The formulas' letters. The model's axes are x to the right, y up and z
    // forward; the definition file names the light's position otherwise:
    //   X  LatOffset: x, to the right of the aircraft's axis
    //   Z  ZOffset:   y, up (not the model's z)
    //   L  LonOffset: z, forward
    //   R  MaxRange, the aim point's horizontal distance
    //   SW, SD  SpotWidth and SpotDepth; W the depth projected onto the
    //           plane square to the longitudinal axis
    //   P  the pitch the beam is aimed for; B the beam's inclination below
    //      the longitudinal axis; h the light's height above the ground line
    // Read in this order so that their messages come in this order too.
    const auto value = [&](KeyId key) { return get_key_value(diagnostics, section, key, ground.pitch_deg); };
    const double pitch = value(KeyId::pitch);
    const double Z = value(KeyId::z_offset);
    const double R = value(KeyId::max_range);
    const double direction = value(KeyId::direction);
    const double SW = value(KeyId::spot_width);
    const double SD = value(KeyId::spot_depth);
    const double X = value(KeyId::lat_offset);
    const double L = value(KeyId::lon_offset);

    const double P = deg_to_rad(pitch);  // aircraft pitch, nose up positive
    // The light's height above the ground line through the two gear contacts.
    const double H = (L + ground.main_gear_dist) * ground.slope - ground.main_gear_height;
    const double h = Z + H;
    const double beta = portable_atan(h / R);  // aim point's depression below the horizon
    const double B = beta + P;             // beam's inclination below the longitudinal axis

    const SineAndCosine of_B = portable_sin_cos(B);
    const double K = BEAM_LENGTH * of_B.cosine;
    const double dir = deg_to_rad(direction);
    const SineAndCosine of_dir = portable_sin_cos(dir);
    const ModelVector beam = {to_signed_word(K * of_dir.sine), to_signed_word(-K * of_B.sine),
                              to_signed_word(K * of_dir.cosine)};

    // Depth of the spot projected along the beam onto the plane square to
    // the longitudinal axis.
    const SineAndCosine of_P = portable_sin_cos(P);
    const double t1 = h * of_P.sine / R;
    const double den = of_P.cosine - t1;
    const double W = (h / R * SD) / den;

    // A zero range or a beam parallel to the ground gives no spot; such values
    // must not reach the record as garbage words.
    const double checked[] = {pitch, Z, R, direction, SW, SD, X, L, P, H, h, beta, B, K, W,
                              spot_factor(SW, COARSEST_UNIT), spot_factor(W, COARSEST_UNIT)};
    if (!std::all_of(std::begin(checked), std::end(checked), [](double v) { return std::isfinite(v); })) {
        report(diagnostics, MessageId::beam_not_computable, {number});
        return;
    }

    report(diagnostics, MessageId::light_line, {number, rad_to_deg(P), rad_to_deg(-B)});

    LightRecord& record = lights.records[index];
    record.beam = beam;
    record.scale = build_spot_outline(record.outline, SW, W, X, Z, L);
    lights.values[index] = LightValues{P, X, Z, L, R, dir, SW, SD, h, B, true};
}

Step compute_lights(Diagnostics& diagnostics, const Definition& definition, LightSet& lights)
{
    const unsigned count = definition.light_count < LIGHT_COUNT_MAX ? definition.light_count : LIGHT_COUNT_MAX;
    bool missing = false;
    for (unsigned n = 1; n <= count; ++n) {
        if (!definition.sections[n].defined) {
            report(diagnostics, MessageId::light_not_specified, {n});
            missing = true;
        }
    }
    if (missing) {
        return Step::reported;
    }
    for (unsigned n = 1; n <= count; ++n) {
        compute_light(diagnostics, definition.ground, definition.sections[n], n - 1, lights);
    }
    return Step::done;
}

}  // namespace lumora
