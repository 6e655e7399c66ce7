// veska-inspect --strip MODEL [TARGET]: the landing lights taken out again.
#pragma once

#include <optional>
#include <string>

#include "basics/console.h"
#include "mdl/mdl_layout.h"
#include "platform/file_system.h"

namespace lumora {

// Takes the landing lights and the trailer block out of the image, which
// read_model read and examined (findings), giving back the model exactly as
// it was before veska processed it; lights is set to their number. Anything
// else than veska's insertion is refused with a message that says why and
// "Nothing written." (Step::reported) with the image unchanged.
Step strip_lights(Diagnostics& diagnostics, MdlImage& image, const std::string& model_name,
                 const StructureFindings& findings, unsigned& lights);

// Reads the model, takes its lights out and writes it through files to the
// target, or in place when there is none. Returns 0, or 1 after the messages.
[[nodiscard]] int run_strip(const Console& console, FileSystem& files, const std::string& model_name,
              const std::optional<std::string>& target_name);

}  // namespace lumora
