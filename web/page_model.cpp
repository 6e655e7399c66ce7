#include "web/page_model.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <vector>

#include "basics/messages.h"
#include "basics/text.h"
#include "driver/run.h"
#include "inspect/strip.h"
#include "platform/file_system.h"
#include "platform/platform.h"

namespace lumora {

namespace {

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

    // Writes the file whole; false when it cannot be.
    bool put(const std::string& name, const std::string& bytes)
    {
        names_.push_back(name);
        std::FILE* file = open_file(name.c_str(), "wb");
        if (file == nullptr) {
            return false;
        }
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        return std::fclose(file) == 0 && written;
    }

private:
    FileSystem& system_;
    std::vector<std::string> names_;
};

ModelRun not_written(MessageId why)
{
    return ModelRun{false, false, 1, render_message(Message{why, 0, {}}, std::string()), std::string()};
}

}  // namespace

bool looks_like_model(const std::string& name, const std::string& bytes)
{
    const bool named = name.size() >= 4 && equal_ignoring_case(std::string_view(name).substr(name.size() - 4), ".mdl");
    return named || bytes.compare(0, 2, "MZ") == 0;
}

ModelRun apply_to_model(const std::string& model_name, const std::string& model, const std::string& definition_name,
                        const std::string& definition)
{
    SystemFileSystem system;
    RunFiles files(system);
    if (model_name == definition_name || !files.put(model_name, model) || !files.put(definition_name, definition)) {
        return not_written(MessageId::names_not_different);
    }
    ModelRun run{};
    StringText text{run.output};
    MessagePrinter printer{Console{&text}};
    MessageLog log;
    MessageFanOut messages{printer, log};
    RunState state{Console{&text}, messages, system};
    run.exit_code = run_veska(state, {model_name, model_name, definition_name});
    const auto refused = [](const Message& message) { return message.id == MessageId::not_unmodified; };
    run.already_lit = std::any_of(log.messages().begin(), log.messages().end(), refused);
    run.done = run.exit_code == 0 && read_back(system, model_name, run.model);
    return run;
}

ModelRun take_lights_out(const std::string& model_name, const std::string& model)
{
    SystemFileSystem system;
    RunFiles files(system);
    if (!files.put(model_name, model)) {
        return not_written(MessageId::model_not_taken_in);
    }
    ModelRun run{};
    StringText text{run.output};
    run.exit_code = run_strip(Console{&text}, system, model_name, std::nullopt);
    run.done = run.exit_code == 0 && read_back(system, model_name, run.model);
    return run;
}

}  // namespace lumora
