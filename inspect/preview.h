// veska-inspect --preview DEFINITION OUT.svg: a picture of where the
// definition file's lights shine, before any model is touched.
#pragma once

#include "basics/console.h"
#include "platform/file_system.h"

namespace lumora {

// Reads the definition file and computes the ground pitch and the lights
// with the program's own code, printing every diagnostic and progress line as
// veska prints them, and draws the result, with the warnings of
// check_values in its legend, written through files. A definition file with errors still gives a
// picture of what could be computed, marked as incomplete.
// Returns 0 when a complete picture was written; 1 when the definition file
// cannot be opened or read, has errors (the picture is still written then),
// or the picture cannot be written.
int run_preview(const Console& console, FileSystem& files, const char* definition_name, const char* svg_name);

}  // namespace lumora
