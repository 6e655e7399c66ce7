// The run sequence of the VESKA command, from the banner to the exit code.
#pragma once

#include <string>
#include <vector>

#include "driver/run_state.h"
#include "platform/help_conventions.h"

namespace lumora {

constexpr const char USAGE_TEXT[] =
    "Usage is:\n\n      VESKA <mdl_file> <LL_definition_file>\n"
    "or:   VESKA <source_mdl_file> <target_mdl_file> <LL_definition_file>\n";

// What "veska --help" prints after the banner and the usage: this, the line
// that names the manuals in the form in which the system keeps them, and
// the exit codes (help_text puts them together).
constexpr const char HELP_TEXT[] =
    "\n"
    "The first form changes the MDL file in place after writing a backup of it\n"
    "with the extension .MD$; the second writes the result to the target and\n"
    "leaves the source as it is. A model that already has lights is refused.\n"
    "\n"
    "LL_definition_file, the landing-light definition file, is plain text in\n"
    "sections. [Main] holds Lights=1, 2 or 3 and the gear's contact points\n"
    "(MainGearHeight, MainGearDist, and TailGear... or NoseGear...); [Light 1]\n"
    "to [Light 3] place and aim each light (LatOffset, ZOffset, LonOffset,\n"
    "Direction, Pitch, MaxRange, SpotWidth, SpotDepth). Lengths are metres or\n"
    "carry a unit (in, ft, cm, m); angles are degrees; lines that begin with ';'\n"
    "are comments.\n"
    "\n"
    "  veska-inspect --check DEFINITION            what to change in a definition file\n"
    "  veska-inspect --preview DEFINITION OUT.svg  a picture of where the lights shine\n"
    "  veska-inspect MODEL                         a report on a model\n";
constexpr const char MANUALS_AS_MAN_PAGES[] = "  man veska, man veska-inspect                the manuals\n";
constexpr const char MANUALS_AS_HTML[] =
    "  veska.html, veska-inspect.html              the manuals, in this program's folder\n";
constexpr const char HELP_EXIT_CODES[] =
    "\n"
    "Exit code: 0 when the model was written, 1 when it was not, the system's\n"
    "error number when the result could not be written. --help, -h or -? alone\n"
    "shows this help; a model named so or --version is given as ./--help or\n"
    "./--version.\n";

std::string help_text(ManualForm form);

// Runs the whole sequence once for the arguments that follow the program
// name, in state, which the caller created with its console, the sink of
// its messages and its file system, and returns the exit code. "--help",
// "-h" or "-?" (or the system's own word, "/?" on Windows) or "--version"
// as the only argument prints the help or the version and returns 0.
[[nodiscard]] int run_veska(RunState& state, const std::vector<std::string>& arguments);

// True when the arguments ask for the help or the version text alone.
bool asks_for_text(const std::vector<std::string>& arguments);

}  // namespace lumora
