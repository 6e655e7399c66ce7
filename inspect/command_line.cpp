#include "inspect/command_line.h"


#include "basics/messages.h"
#include "basics/version.h"
#include "inspect/given_file.h"
#include "check/check.h"
#include "preview/preview.h"
#include "inspect/report.h"
#include "inspect/strip.h"

namespace lumora {

namespace {

constexpr char HELP_TEXT[] =
    "Shows what the landing lights of VESKA do to an aircraft model, takes them\n"
    "out again, says what to change in a definition file, and draws where its\n"
    "lights will shine.\n"
    "\n"
    "  veska-inspect MODEL\n"
    "      Reports on the MDL file: whether its layout is accepted (and if not,\n"
    "      which test fails), whether it is unprocessed or carries landing lights,\n"
    "      the model-code area's header words, used length and free room, which\n"
    "      numbers of lights would fit, and for a processed model each light's\n"
    "      beam, scale, position and spot size and the state of the trailer block.\n"
    "  veska-inspect DEFINITION\n"
    "      A text file given alone (or dropped onto the program) is checked as\n"
    "      with --check. Text is a file of at least two bytes that does not begin\n"
    "      with \"MZ\" and either begins with a byte-order mark or whose first 512\n"
    "      bytes are printable characters, tabs, line ends, Ctrl-Z or bytes from\n"
    "      0x80 up; anything else is reported on as a model.\n"
    "  veska-inspect --strip MODEL [TARGET]\n"
    "      Takes the landing lights and the trailer block out of a model processed\n"
    "      by VESKA and restores the model exactly as it was before, in place or\n"
    "      into TARGET. Anything else is refused and nothing is written.\n"
    "  veska-inspect --check DEFINITION\n"
    "      Reads the definition file as VESKA does and prints its messages\n"
    "      unchanged, each followed by an indented line that says what to change;\n"
    "      then notes on values VESKA accepts but that are hardly meant (a lit\n"
    "      area reaching back past the light, a beam that never comes down), and\n"
    "      last whether VESKA would write a model with the file.\n"
    "  veska-inspect --preview DEFINITION OUT.svg [--before EARLIER]\n"
    "      Computes the definition file's lights as VESKA does (printing the same\n"
    "      messages) and draws a side view and a top view of them as an SVG file.\n"
    "      With --before, the lights of the definition file EARLIER are drawn\n"
    "      faintly under them, to compare before and after a change.\n"
    "  veska-inspect --help       this text (also -h or -?)\n"
    "  veska-inspect --version    the version\n"
    "\n"
    "Exit code: 0 on success; 1 when the input is refused, cannot be read or\n"
    "has errors; 2 for a command line that is not understood. For --check: 0\n"
    "when VESKA would write a model with the file, 1 when it would not.\n";

// The last line of the help, in the form in which the system keeps the
// manuals.
constexpr char MANUAL_AS_MAN_PAGE[] = "The manual: man veska-inspect (and man veska).\n";
constexpr char MANUAL_AS_HTML[] =
    "The manual: veska-inspect.html (and veska.html) in this program's folder,\n"
    "to open in a web browser.\n";

int usage_error(const Console& console, MessageId problem, std::vector<Subject> subjects = {})
{
    console_write(console, render_message(Message{problem, 0, std::move(subjects)}, std::string()));
    console_write(console, INSPECT_USAGE_TEXT);
    return 2;
}

}  // namespace

std::string inspect_help_text(ManualForm form)
{
    return std::string(HELP_TEXT) + "\n" + (form == ManualForm::man_pages ? MANUAL_AS_MAN_PAGE : MANUAL_AS_HTML);
}

int run_inspect(const Console& console, FileSystem& files, const std::vector<std::string>& arguments)
{
    const std::size_t count = arguments.size();
    if (count < 1) {
        return usage_error(console, MessageId::no_command);
    }
    const std::string& command = arguments[0];
    if (count == 1 && is_help_option(command)) {
        console_write(console, INSPECT_USAGE_TEXT);
        console_write(console, "\n");
        console_write(console, inspect_help_text(manual_form()));
        return 0;
    }
    if (command == "--version" && count == 1) {
        console_write(console, "veska-inspect (Lumora) " LUMORA_VERSION "\n");
        return 0;
    }
    if (command == "--strip") {
        if (count < 2 || count > 3) {
            return usage_error(console, MessageId::strip_arguments);
        }
        return run_strip(console, files, arguments[1], count == 3 ? std::optional<std::string>(arguments[2]) : std::nullopt);
    }
    if (command == "--check") {
        if (count != 2) {
            return usage_error(console, MessageId::check_arguments);
        }
        return run_check(console, files, arguments[1]);
    }
    if (command == "--preview") {
        if (count == 5 && arguments[3] == "--before") {
            return run_preview(console, files, arguments[1], arguments[2], arguments[4]);
        }
        if (count != 3) {
            return usage_error(console, MessageId::preview_arguments);
        }
        return run_preview(console, files, arguments[1], arguments[2]);
    }
    if (command.size() >= 2 && command[0] == '-') {
        return usage_error(console, MessageId::unknown_option, {command});
    }
    if (count != 1) {
        return usage_error(console, MessageId::report_arguments);
    }
    if (kind_of_file(files, command) == GivenFileKind::definition_text) {
        console_write(console, render_message(Message{MessageId::text_not_model, 0, {command}}, std::string()));
        return run_check(console, files, command);
    }
    return run_report(console, files, command);
}

}  // namespace lumora
