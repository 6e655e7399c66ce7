#include "lights/ground_pitch.h"

GroundGeometry ground_geometry{};
