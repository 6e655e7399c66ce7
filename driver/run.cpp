#include "driver/run.h"

#include "basics/version.h"
#include "driver/banner.h"
#include "lights/lights_from_definition.h"
#include "mdl/insertion.h"

namespace lumora {

namespace {

// The parts of the help, which help_text puts together.
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

// Ends a run that computed everything it could but must not write: the last
// line says so, and the exit code tells the caller that nothing was written.
int end_unwritten(RunState& state, const std::string& target)
{
    report(state.diagnostics, MessageId::not_written_due_to_errors, {target});
    return 1;
}

bool asks_for_help(const std::vector<std::string>& arguments)
{
    return arguments.size() == 1 && is_help_option(arguments[0]);
}

}  // namespace

std::string help_text(ManualForm form)
{
    return std::string(HELP_TEXT) + (form == ManualForm::man_pages ? MANUALS_AS_MAN_PAGES : MANUALS_AS_HTML) +
           HELP_EXIT_CODES;
}

bool asks_for_text(const std::vector<std::string>& arguments)
{
    return asks_for_help(arguments) || (arguments.size() == 1 && arguments[0] == "--version");
}

int run_veska(RunState& state, const std::vector<std::string>& arguments)
{
    const Console& console = state.console;
    Diagnostics& diagnostics = state.diagnostics;
    if (arguments.size() == 1 && arguments[0] == "--version") {
        console_write(console, "veska (Lumora) " LUMORA_VERSION "\n");
        return 0;
    }
    print_banner(console);
    if (asks_for_help(arguments)) {
        console_write(console, USAGE_TEXT);
        console_write(console, help_text(manual_form()));
        return 0;
    }
    if (arguments.empty()) {
        console_write(console, USAGE_TEXT);
        return 1;
    }
    const bool in_place = arguments.size() < 3;
    const std::string& source = arguments[0];
    const std::string& target = in_place ? arguments[0] : arguments[1];
    // The one-argument form names no definition file.
    const std::optional<std::string> definition =
        in_place ? (arguments.size() == 2 ? std::optional<std::string>(arguments[1]) : std::nullopt)
                 : std::optional<std::string>(arguments[2]);
    diagnostics.definition_name = definition.value_or(std::string());
    // No write may replace the definition file.
    const OutputContext output{diagnostics, definition ? definition->c_str() : nullptr, state.files};

    if (load_mdl(diagnostics, state.files, state.image, source) != Step::done) {
        return 1;
    }
    if (in_place && write_backup(output, source.c_str(), state.image.bytes(), state.image.size) != 0) {
        report(diagnostics, MessageId::no_backup_no_processing);
        return 1;
    }
    const LightsOutcome outcome = read_and_compute_lights(diagnostics, state.files, state.definition, state.lights, definition);
    if (outcome == LightsOutcome::not_read || outcome == LightsOutcome::failed) {
        return 1;
    }
    if (outcome == LightsOutcome::invalid_count) {
        return end_unwritten(state, target);
    }
    const std::uint32_t lights = state.definition.light_count;
    state.block = code_template(lights);
    fill_code_template(state.block, lights, state.lights.records);
    if (insert_code(diagnostics, state.image.code_area, state.block.bytes, state.block.size) != Step::done) {
        return 1;
    }
    if (diagnostics.error_flag) {
        return end_unwritten(state, target);
    }
    const int result = write_target(output, target.c_str(), state.image.bytes(), state.image.size);
    if (result != 0) {
        return result;
    }
    report(diagnostics, MessageId::model_written, {target, lights});
    return 0;
}

}  // namespace lumora
