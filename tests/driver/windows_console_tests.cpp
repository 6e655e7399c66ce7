// Windows alone: both programs on a console, as in a command prompt, show a
// name that is not ASCII as it is, and show the same text that they write
// to a file; "/?" alone is the help of both, which names the HTML manuals.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "driver/run.h"
#include "inspect/command_line.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/runner.h"
#include "tests/support/worked_example.h"
#include "tools/mdl_builder/mdl_builder.h"

namespace lumora {

namespace {

// Each line without its trailing blanks, as a console's screen holds it.
std::string as_on_screen(const std::string& text)
{
    std::string screen;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        const std::string line = text.substr(start, end - start);
        screen += line.substr(0, line.find_last_not_of(' ') + 1) + "\n";
        start = end + 1;
    }
    return screen;
}

TEST(WindowsConsole, ANameThatIsNotAsciiShowsAsItIs)
{
    const ScratchDir dir;
    const std::string folder = dir.file("M\xC3\xBCller");
    std::filesystem::create_directory(std::filesystem::u8path(folder));
    const std::string model = folder + "/plane.mdl";
    const std::string target = folder + "/plane-lit.mdl";
    const std::string definition = folder + "/lights.cfg";
    write_file_text(definition, worked_definition(1));
    struct Case {
        const char* program;
        std::vector<std::string> arguments;
        std::string shown;  // a line that names a file in the folder
    };
    const Case cases[] = {
        {VESKA_PROGRAM, {model, target, definition}, "MDL file " + target + " with 1 landing light successfully written."},
        {VESKA_INSPECT_PROGRAM, {definition}, definition + " is text, not a model: it is checked as a definition file."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        write_file_bytes(model, mdl_builder::build_sample_mdl());
        std::filesystem::remove(std::filesystem::u8path(target));
        std::vector<std::string> on_console{dir.file("screen.txt"), c.program};
        on_console.insert(on_console.end(), c.arguments.begin(), c.arguments.end());
        const int console_exit = run_program(CONSOLE_HOST, on_console, dir.file("host.txt"));
        const std::string screen = read_file_text(dir.file("screen.txt"));
        EXPECT_EQ(console_exit, 0) << screen;
        EXPECT_NE(screen.find(c.shown + "\n"), std::string::npos) << screen;

        // Redirected, the same text as bytes.
        write_file_bytes(model, mdl_builder::build_sample_mdl());
        std::filesystem::remove(std::filesystem::u8path(target));
        const int file_exit = run_program(c.program, c.arguments, dir.file("output.txt"));
        EXPECT_EQ(file_exit, console_exit);
        EXPECT_EQ(as_on_screen(read_file_text(dir.file("output.txt"))), screen);
    }
}

TEST(WindowsConsole, SlashQuestionMarkAloneIsTheHelp)
{
    const ScratchDir dir;
    const std::string output = dir.file("output.txt");
    EXPECT_EQ(run_program(VESKA_PROGRAM, {"/?"}, output), 0);
    EXPECT_EQ(read_file_text(output), banner_text() + USAGE_TEXT + help_text(ManualForm::html_beside_program));
    EXPECT_EQ(run_program(VESKA_INSPECT_PROGRAM, {"/?"}, output), 0);
    EXPECT_EQ(read_file_text(output),
              std::string(INSPECT_USAGE_TEXT) + "\n" + inspect_help_text(ManualForm::html_beside_program));

    // With more on the command line it is a name, as --help is.
    const RunOutcome with_more = run_veska_in_process({"/?", dir.file("lights.cfg")});
    EXPECT_EQ(with_more.exit_code, 1);
    EXPECT_EQ(after_banner(with_more.output).rfind("Error opening file /?: ", 0), 0u) << with_more.output;
}

}  // namespace

}  // namespace lumora
