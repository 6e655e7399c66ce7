// The preview picture: a side view and a top view of the lights in metres,
// drawn as an SVG file.
#pragma once

#include <string>
#include <vector>

#include "lights/ground_view.h"

namespace lumora {

struct PreviewCaption {
    const char* definition_name;
    bool complete;  // false: the definition file has errors; the picture says so
    std::vector<std::string> notes = {};  // warnings about the values, one legend line each
    // The lights as they were before the changes, drawn faintly under
    // these; none: nothing to compare.
    const GroundView* before = nullptr;
};

// The picture as SVG text.
std::string preview_svg(const GroundView& geometry, const PreviewCaption& caption);

}  // namespace lumora
