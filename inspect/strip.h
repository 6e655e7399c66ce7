// veska-inspect --strip MODEL [TARGET]: the landing lights taken out again.
#pragma once

#include <optional>
#include <string>

#include "basics/console.h"
#include "platform/file_system.h"

namespace lumora {

// Reads the model, takes its lights out and writes it through files to the
// target, or in place when there is none. Returns 0, or 1 after the messages.
[[nodiscard]] int run_strip(const Console& console, FileSystem& files, const std::string& model_name,
              const std::optional<std::string>& target_name);

}  // namespace lumora
