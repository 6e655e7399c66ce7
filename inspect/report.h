// veska-inspect MODEL: a readable report on one model.
#pragma once

#include <string>

#include "basics/console.h"
#include "platform/file_system.h"

namespace lumora {

// Prints the report on the named model. Returns 0 when the file could be
// read (whatever it holds), 1 after the reader's message when it could not.
[[nodiscard]] int run_report(const Console& console, FileSystem& files, const std::string& model_name);

}  // namespace lumora
