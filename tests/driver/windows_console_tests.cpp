// Windows alone: both programs on a console, as in a command prompt, show a
// name that is not ASCII as it is, and show the same text that they write
// to a file; "/?" alone is the help of both, which names the HTML manuals;
// veska in a window of its own takes the files dropped onto it.
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

// The words of a text, as blanks and line ends separate them.
std::vector<std::string> words_of(const std::string& text)
{
    std::vector<std::string> words;
    std::size_t start = text.find_first_not_of(" \n");
    while (start != std::string::npos) {
        const std::size_t end = text.find_first_of(" \n", start);
        words.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        start = end == std::string::npos ? end : text.find_first_not_of(" \n", end);
    }
    return words;
}

// Files dropped onto veska, which runs in a console window of its own,
// 120 columns wide, in a folder whose name is longer than a line.
class OwnWindow : public ::testing::Test {
protected:
    OwnWindow()
    {
        std::filesystem::create_directory(std::filesystem::u8path(folder));
        write_file_text(definition, worked_definition(2));
        write_file_bytes(model, mdl_builder::build_sample_mdl());
    }

    // The exit code; the screen in screen. Each drop writes files of its
    // own: the console of the one before may still be closing (Wine), with
    // its files open, and its screen must not pass for this one's.
    int drop(const std::vector<std::string>& files)
    {
        const std::string number = std::to_string(++drops);
        std::vector<std::string> on_console{"--own-window", dir.file("screen" + number + ".txt"), VESKA_PROGRAM};
        on_console.insert(on_console.end(), files.begin(), files.end());
        const int exit_code = run_program(CONSOLE_HOST, on_console, dir.file("host" + number + ".txt"));
        screen = read_file_text(dir.file("screen" + number + ".txt"));
        return exit_code;
    }

    // The screen holds every line whole: no line is wider than the window,
    // and its words are those of the same messages written to a file, the
    // folder named once at the top rather than in each name.
    void expect_whole_lines(const std::string& program, const std::vector<std::string>& arguments)
    {
        std::size_t start = 0;
        while (start < screen.size()) {
            const std::size_t end = screen.find('\n', start);
            EXPECT_LT(end - start, 120u) << screen.substr(start, end - start);
            start = end + 1;
        }
        run_program(program, arguments, dir.file("output.txt"));
        std::string written = read_file_text(dir.file("output.txt"));
        for (std::size_t at = written.find(folder + "/"); at != std::string::npos; at = written.find(folder + "/")) {
            written.erase(at, folder.size() + 1);
        }
        std::vector<std::string> shown = words_of(screen);
        ASSERT_GE(shown.size(), 6u) << screen;
        shown.resize(shown.size() - 6);  // "Press Enter to close this window."
        const std::vector<std::string> expected = words_of("In the folder " + folder + ":\n" + written);
        ASSERT_GE(shown.size(), expected.size()) << screen;
        EXPECT_EQ(std::vector<std::string>(shown.begin(), shown.begin() + static_cast<std::ptrdiff_t>(expected.size())),
                  expected)
            << screen;
    }

    const ScratchDir dir;
    const std::string folder = dir.file(
        "Models of the aircraft that fly in the evening, with their landing lights, kept here for the simulator");
    const std::string model = folder + "/plane.mdl";
    const std::string definition = folder + "/lights.cfg";
    std::string screen;
    int drops = 0;
};

TEST_F(OwnWindow, TwoFilesInEitherOrderAreTheModelAndItsDefinition)
{
    ASSERT_EQ(run_program(VESKA_PROGRAM, {model, definition}, dir.file("output.txt")), 0);
    const Bytes lit = read_file_bytes(model);
    for (const auto& order : {std::vector<std::string>{definition, model}, std::vector<std::string>{model, definition}}) {
        SCOPED_TRACE(order[0]);
        write_file_bytes(model, mdl_builder::build_sample_mdl());
        std::filesystem::remove(std::filesystem::u8path(folder + "/plane.MD$"));
        EXPECT_EQ(drop(order), 0) << screen;
        EXPECT_EQ(read_file_bytes(model), lit);
        EXPECT_TRUE(file_exists(folder + "/plane.MD$"));
    }
    write_file_bytes(model, mdl_builder::build_sample_mdl());
    expect_whole_lines(VESKA_PROGRAM, {model, definition});
}

TEST_F(OwnWindow, AModelAloneIsLeftAsItIsAndTheWindowSaysWhatToDo)
{
    EXPECT_EQ(drop({model}), 1) << screen;
    EXPECT_FALSE(file_exists(folder + "/plane.MD$"));
    EXPECT_EQ(read_file_bytes(model), mdl_builder::build_sample_mdl());
    EXPECT_NE(screen.find("lumora-tuning.html"), std::string::npos) << screen;
}

TEST_F(OwnWindow, ADefinitionAloneIsChecked)
{
    write_file_text(definition, "[Main]\nLights=2\nMainGearHeight=2 furlongs\n[Light 1]\nLatOffset=1\n");
    EXPECT_EQ(drop({definition}), 1) << screen;
    EXPECT_NE(screen.find("drop the model together with this definition file"), std::string::npos) << screen;
    expect_whole_lines(VESKA_INSPECT_PROGRAM, {"--check", definition});
}

}  // namespace

}  // namespace lumora
