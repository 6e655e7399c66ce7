#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "basics/messages.h"
#include "check/check.h"
#include "driver/banner.h"
#include "driver/run.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "platform/standard_output.h"
#include "window/dropped_files.h"

using namespace lumora;

namespace {

// True when the file's first two bytes are "MZ", as every model's are.
bool starts_as_model(FileSystem& files, const std::string& name)
{
    FileBytes start;
    const ReadResult read = files.read_file(name, ReadLimits{2, false, true}, start);
    return read.error == 0 && start.view() == "MZ";
}

// veska in a window of its own, which files were dropped onto: the files
// taken as what they are, and the messages kept until the end, then shown
// with their folder named once and their lines broken at blanks to the
// window's width.
int run_in_own_window(const std::vector<std::string>& names, StandardOutput& output)
{
    SystemFileSystem files;
    std::vector<bool> is_model;
    for (const std::string& name : names) {
        is_model.push_back(starts_as_model(files, name));
    }
    const Drop drop = read_drop(names, is_model);
    std::string text;
    StringText kept{text};
    const Console console{&kept};
    MessagePrinter printer{console};
    int exit_code = 1;
    if (drop.kind == DropKind::model_alone) {
        print_banner(console);
        printer.take(Message{MessageId::dropped_model_alone, 0, {drop.arguments[0]}}, std::string());
    } else if (drop.kind == DropKind::definition_alone) {
        exit_code = run_check(console, files, drop.arguments[0]);
        printer.take(Message{MessageId::dropped_definition_alone, 0, {}}, std::string());
    } else {
        RunState state{console, printer, files};
        exit_code = run_veska(state, drop.arguments);
    }
    const unsigned width = console_width();
    // A line as wide as the window would leave the cursor on the next line,
    // and its line end an empty one.
    text = wrap_at_blanks(name_folder_once(text, shared_folder(names)), width > 1 ? width - 1 : 0);
    StandardOutputText shown{output};
    console_write(Console{&shown}, text);
    return exit_code;
}

}  // namespace

int main(int argc, char** argv)
{
    prepare_standard_output();
    install_interrupt_cleanup();
    const std::vector<std::string> arguments = program_arguments(argc, argv);
    StandardOutput output{stdout};
    int exit_code = 0;
    if (owns_console() && !arguments.empty() && !asks_for_text(arguments)) {
        exit_code = run_in_own_window(arguments, output);
    } else {
        SystemFileSystem files;
        StandardOutputText text{output};
        const Console console{&text};
        MessagePrinter printer{console};
        RunState state{console, printer, files};
        exit_code = run_veska(state, arguments);
    }
    hold_own_window(render_message(Message{MessageId::press_enter_to_close, 0, {}}, std::string()));
    const int output_error = close_standard_output(output);
    // A run's exit code tells what became of the model, whatever became of
    // its messages; the help and the version are nothing but their text.
    if (output_error != 0 && asks_for_text(arguments)) {
        std::fprintf(stderr, "veska: error writing standard output: %s\n", std::strerror(output_error));
        return 1;
    }
    return exit_code;
}
