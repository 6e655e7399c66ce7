// veska-inspect --preview DEFINITION OUT.svg: a picture of where the
// definition file's lights shine, before any model is touched.
#pragma once

#include <optional>
#include <string>

#include "basics/console.h"
#include "basics/messages.h"
#include "definition/definition.h"
#include "lights/ground_view.h"
#include "lights/light_geometry.h"
#include "lights/lights_from_definition.h"
#include "platform/file_system.h"

namespace lumora {

struct Preview {
    std::string svg;
    unsigned lights = 0;    // the lights drawn
    bool complete = false;  // false: the definition file has errors, and the picture says so
};

// The picture of the lights that the definition file's reading and
// computing (its outcome, with their messages in diagnostics) gave, with the
// notes on its values in the legend. A definition file with errors still
// gives a picture of what could be computed, marked as incomplete: lights
// veska would not get to are computed here without a word.
// Before: the lights of the definition as it was before the changes, drawn
// faintly under these (see earlier_lights), with a legend line that says so;
// null for none.
Preview draw_preview(const Diagnostics& diagnostics, const Definition& definition, LightSet& lights,
                     LightsOutcome outcome, const GroundView* before = nullptr);

// The lights of a definition file's bytes, read and computed without a word,
// as the picture draws them; the messages of their reading go to log.
// Nothing when the bytes cannot be read as a definition.
std::optional<GroundView> earlier_lights(MessageLog& log, const std::string& name, std::string bytes);

// Reads the definition file and computes the ground pitch and the lights
// with the program's own code, printing every message as veska prints it,
// and writes the picture through files to svg_name all or nothing. Returns 0 when a
// complete picture was written; 1 when the definition file cannot be opened
// or read, has errors (the picture is still written then), or the picture
// cannot be written.
// With before_name, the lights of that definition file are drawn faintly
// under these (--before); one that cannot be read is reported as veska
// reports it, and nothing is written.
[[nodiscard]] int run_preview(const Console& console, FileSystem& files, const std::string& definition_name,
                              const std::string& svg_name,
                              const std::optional<std::string>& before_name = std::nullopt);

}  // namespace lumora
