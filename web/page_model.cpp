#include "web/page_model.h"

#include <algorithm>

#include "basics/messages.h"
#include "basics/text.h"
#include "driver/run.h"
#include "inspect/strip.h"
#include "web/memory_file_system.h"

namespace lumora {

namespace {

// True where the run succeeded and wrote the model: model holds it.
bool read_back(int exit_code, const MemoryFileSystem& system, const std::string& name, std::string& model)
{
    const std::string* written = system.bytes_of(name);
    if (exit_code != 0 || written == nullptr) {
        return false;
    }
    model = *written;
    return true;
}

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
    if (model_name == definition_name) {
        return not_written(MessageId::names_not_different);
    }
    MemoryFileSystem system;
    system.put(model_name, model);
    system.put(definition_name, definition);
    ModelRun run{};
    StringText text{run.output};
    MessagePrinter printer{Console{&text}};
    MessageLog log;
    MessageFanOut messages{printer, log};
    RunState state{Console{&text}, messages, system};
    run.exit_code = run_veska(state, {model_name, model_name, definition_name});
    const auto refused = [](const Message& message) { return message.id == MessageId::not_unmodified; };
    run.already_lit = std::any_of(log.messages().begin(), log.messages().end(), refused);
    run.done = read_back(run.exit_code, system, model_name, run.model);
    return run;
}

ModelRun take_lights_out(const std::string& model_name, const std::string& model)
{
    MemoryFileSystem system;
    system.put(model_name, model);
    ModelRun run{};
    StringText text{run.output};
    run.exit_code = run_strip(Console{&text}, system, model_name, std::nullopt);
    run.done = read_back(run.exit_code, system, model_name, run.model);
    return run;
}

}  // namespace lumora
