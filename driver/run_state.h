// Everything one run of the VESKA command uses, in one record that the
// caller creates and passes: nothing of a run outlives it or reaches the
// next run.
#pragma once

#include "basics/diagnostics.h"
#include "definition/definition.h"
#include "lights/code_templates.h"
#include "lights/light_geometry.h"
#include "mdl/mdl_image.h"
#include "mdl/output.h"

namespace lumora {

struct RunState {
    Diagnostics diagnostics;   // the console, the definition file's name, the line counter, the error flag
    MdlImage image;
    Definition definition;     // the number of lights, the four sections, the ground geometry
    LightSet lights;           // each light's record and values
    CodeTemplate block;        // the template for the number of lights, once filled
    FileSystem* files;         // the writers' file operations, made by the caller
};

// Releases everything the run allocated: the image, and every section's
// header text and entries. Safe to call any number of times.
void release_all(RunState& state);

}  // namespace lumora
