// Degrees and radians: the definition file and the printed lines use degrees,
// the computations radians.
#pragma once

namespace lumora {

constexpr double PI = 3.141592653589793;

// Degrees to radians, as x / 180 * pi.
inline double deg_to_rad(double degrees) { return degrees / 180.0 * PI; }

// Radians back to degrees, as x / pi * 180 (the order matters to the last bit).
inline double rad_to_deg(double radians) { return radians / PI * 180.0; }

}  // namespace lumora
