#include "tests/support/runner.h"

#include "driver/banner.h"
#include "driver/run.h"
#include "inspect/command_line.h"
#include "tests/support/console_capture.h"

namespace lumora {

RunOutcome run_veska_in_process(const std::vector<std::string>& arguments, FileSystem& files)
{
    ConsoleCapture capture;
    MessagePrinter printer{capture.console()};
    MessageLog log;
    MessageFanOut messages{printer, log};
    RunState state{capture.console(), messages, files};
    const int exit_code = run_veska(state, arguments);
    return {exit_code, capture.text(), state.diagnostics.error_flag, state.lights, state.block, log.messages()};
}

RunOutcome run_veska_in_process(const std::vector<std::string>& arguments)
{
    SystemFileSystem files;
    return run_veska_in_process(arguments, files);
}

RunOutcome run_inspect_in_process(const std::vector<std::string>& arguments, FileSystem& files)
{
    ConsoleCapture capture;
    const int exit_code = run_inspect(capture.console(), files, arguments);
    return {exit_code, capture.text(), false, LightSet{}, CodeTemplate{}, {}};
}

RunOutcome run_inspect_in_process(const std::vector<std::string>& arguments)
{
    SystemFileSystem files;
    return run_inspect_in_process(arguments, files);
}

std::string banner_text()
{
    ConsoleCapture capture;
    print_banner(capture.console());
    return capture.text();
}

std::string after_banner(const std::string& output)
{
    const std::string banner = banner_text();
    return output.compare(0, banner.size(), banner) == 0 ? output.substr(banner.size()) : output;
}

bool ends_with(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace lumora
