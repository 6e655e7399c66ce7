// Everything one run of the VESKA command uses, in one record that the
// caller creates and passes: nothing of a run outlives it or reaches the
// next run.
#pragma once

#include "basics/console.h"
#include "basics/messages.h"
#include "definition/definition.h"
#include "lights/code_templates.h"
#include "lights/light_geometry.h"
#include "mdl/mdl_image.h"
#include "output/output.h"
#include "platform/file_system.h"

namespace lumora {

struct RunState {
    RunState(Console console, MessageSink& messages, FileSystem& files)
        : console(console), diagnostics{messages}, files(files)
    {
    }

    Console console;           // the banner, the usage and the help
    Diagnostics diagnostics;   // every message of the run, the definition file's name, the error flag
    MdlImage image;
    Definition definition;     // the number of lights, the four sections, the ground geometry, the lines
    LightSet lights;           // each light's record and values
    CodeTemplate block{};      // the template for the number of lights, once filled
    FileSystem& files;         // the writers' file operations, made by the caller
};

}  // namespace lumora
