// Where each light's lit area lies on the ground, in metres, for the tuning
// page's figures panel: the one place the page takes these figures from.
#pragma once

#include <string>

#include "lights/ground_view.h"

namespace lumora {

// Whether a light lights the ground, or why not.
enum class LitState { lit, not_computed, light_not_above_ground, beam_not_down };

struct LightFigures {
    LitState state;
    // LitState::lit: ahead of the light, measured over the ground along the aircraft's
    // longitudinal axis as it stands on its gear, from the ground point
    // square below the light (negative: behind it); sideways as the model's
    // x, right wing positive.
    double nearest;
    double farthest;
    double leftmost;
    double rightmost;
    double aim_ahead;  // the aim point, ahead and sideways as above
    double aim_x;
};

// The figures of light index + 1 (index 0 to 2) of the geometry.
LightFigures light_figures(const GroundView& geometry, unsigned index);

// The figures as one line of words, in metres to one decimal.
std::string light_figures_text(const LightFigures& figures);

}  // namespace lumora
