// veska-inspect --strip MODEL [TARGET]: takes this program's landing lights
// out of a processed model again.
#pragma once

#include "basics/console.h"
#include "platform/file_system.h"

namespace lumora {

// Reads the model, takes the landing-light block and the trailer out and
// restores the model-code area byte for byte as it was before processing,
// then writes the whole file through files to target (or back to the model
// when target is null) with the same all-or-nothing write as veska. Anything that is not
// exactly this program's insertion is refused with a message and nothing is
// written. Returns 0 when written, 1 when refused, unreadable or not
// written.
int run_strip(const Console& console, FileSystem& files, const char* model_name, const char* target_name);

}  // namespace lumora
