#include "tests/inspect/inspect_support.h"

#include <cstdio>

#include "driver/banner.h"
#include "driver/run.h"
#include "driver/run_state.h"
#include "inspect/command_line.h"

namespace {

std::vector<const char*> pointers(const std::vector<std::string>& args)
{
    std::vector<const char*> argv;
    for (const std::string& a : args) {
        argv.push_back(a.c_str());
    }
    return argv;
}

}  // namespace

Captured run_inspector(const std::vector<std::string>& args)
{
    reset_program_state();
    const std::vector<const char*> argv = pointers(args);
    ConsoleCapture capture;
    const int exit_code = run_inspect(static_cast<int>(argv.size()), argv.data());
    Captured result{exit_code, capture.text()};
    reset_program_state();
    return result;
}

Captured run_veska_quietly(const std::vector<std::string>& args)
{
    reset_program_state();
    std::string banner;
    {
        ConsoleCapture capture;
        print_banner();
        banner = capture.text();
    }
    reset_program_state();
    const std::vector<const char*> argv = pointers(args);
    ConsoleCapture capture;
    const int exit_code = run_veska(static_cast<int>(argv.size()), argv.data());
    const std::string output = capture.text();
    reset_program_state();
    return {exit_code, output.substr(output.compare(0, banner.size(), banner) == 0 ? banner.size() : 0)};
}

std::string worked_definition(unsigned lights)
{
    static const char* const sections[3] = {
        "[Light 1]\nZOffset=0.5\nLonOffset=1.5\nLatOffset=3\nDirection=10\n",
        "[Light 2]\nZOffset=0.5\nLonOffset=1.5\nLatOffset=-3\nDirection=-10\n",
        "[Light 3]\nZOffset=0.5\nLonOffset=1.5\nLatOffset=0\nDirection=10\n",
    };
    std::string text = "[Main]\nLights=" + std::to_string(lights) +
                       "\nMainGearHeight=-2\nTailGearHeight=-0.5\nMainGearDist=-1\nTailGearDist=8\n";
    for (unsigned i = 0; i < lights && i < 3; ++i) {
        text += sections[i];
    }
    return text;
}

Bytes processed_by_veska(const ScratchDir& dir, const Bytes& model, const std::string& definition)
{
    const std::string source = dir.file("source.mdl");
    const std::string target = dir.file("processed.mdl");
    const std::string lights = dir.file("lights.cfg");
    write_file_bytes(source, model);
    write_file_text(lights, definition);
    std::remove(target.c_str());
    if (run_veska_quietly({source, target, lights}).exit_code != 0) {
        return {};
    }
    return read_file_bytes(target);
}
