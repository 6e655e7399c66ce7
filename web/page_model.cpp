#include "web/page_model.h"

#include <cstdio>
#include <limits>
#include <vector>

#include "basics/text.h"
#include "driver/run.h"
#include "inspect/strip.h"
#include "platform/file_system.h"
#include "platform/platform.h"

namespace lumora {

namespace {

bool write_whole(const std::string& name, const std::string& bytes)
{
    std::FILE* file = open_file(name.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// The file a run wrote, read back whole; false when it cannot be.
bool read_back(FileSystem& system, const std::string& name, std::string& bytes)
{
    FileBytes read;
    if (system.read_file(name, ReadLimits{std::numeric_limits<std::uint64_t>::max(), false, false}, read).error != 0) {
        return false;
    }
    bytes.assign(read.data(), read.size());
    return true;
}

// The files of one run in the page's own file system: written before it,
// removed after it.
class RunFiles {
public:
    explicit RunFiles(FileSystem& system) : system_(system) {}
    RunFiles(const RunFiles&) = delete;
    RunFiles& operator=(const RunFiles&) = delete;
    ~RunFiles()
    {
        for (const std::string& name : names_) {
            system_.remove(name);
        }
    }

    bool put(const std::string& name, const std::string& bytes)
    {
        names_.push_back(name);
        return write_whole(name, bytes);
    }

private:
    FileSystem& system_;
    std::vector<std::string> names_;
};

ModelRun not_written(std::string output) { return ModelRun{false, false, 1, std::move(output), std::string()}; }

}  // namespace

bool looks_like_model(const std::string& name, const std::string& bytes)
{
    const bool named = name.size() >= 4 && equal_ignoring_case(std::string_view(name).substr(name.size() - 4), ".mdl");
    return named || bytes.compare(0, 2, "MZ") == 0;
}

ModelRun apply_to_model(const std::string& model_name, const std::string& model, const std::string& definition_name,
                        const std::string& definition)
{
    std::string output;
    SystemFileSystem system;
    RunFiles files(system);
    if (model_name == definition_name || !files.put(model_name, model) || !files.put(definition_name, definition)) {
        return not_written("The model and the definition file need two different names.\n");
    }
    StringText text{output};
    MessagePrinter printer{Console{&text}};
    MessageLog log;
    MessageFanOut messages{printer, log};
    RunState state{Console{&text}, messages, system};
    ModelRun run{};
    run.exit_code = run_veska(state, {model_name, model_name, definition_name});
    run.output = std::move(output);
    for (const Message& message : log.messages()) {
        run.already_lit = run.already_lit || message.id == MessageId::not_unmodified;
    }
    run.done = run.exit_code == 0 && read_back(system, model_name, run.model);
    return run;
}

ModelRun take_lights_out(const std::string& model_name, const std::string& model)
{
    std::string output;
    SystemFileSystem system;
    RunFiles files(system);
    if (!files.put(model_name, model)) {
        return not_written("The model could not be taken in.\n");
    }
    ModelRun run{};
    StringText text{output};
    run.exit_code = run_strip(Console{&text}, system, model_name, std::nullopt);
    run.output = std::move(output);
    run.done = run.exit_code == 0 && read_back(system, model_name, run.model);
    return run;
}

}  // namespace lumora
