// The preview picture: a side view and a top view of the lights in metres,
// drawn as an SVG file.
#pragma once

#include "basics/console.h"
#include "inspect/preview_geometry.h"

struct PreviewCaption {
    const char* definition_name;
    bool complete;  // false: the definition file has errors; the picture says so
};

// Writes the picture to path (replacing the file). Returns 0, or after a
// message the error number of the failing step (never 0 on failure); a file
// that could not be written completely is removed.
int write_preview_svg(const Console& console, const char* path, const PreviewGeometry& geometry, const PreviewCaption& caption);
