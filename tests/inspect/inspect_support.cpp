#include "tests/inspect/inspect_support.h"

#include <cstdio>

#include "tests/support/runner.h"

namespace lumora {

Bytes processed_by_veska(const ScratchDir& dir, const Bytes& model, const std::string& definition)
{
    const std::string source = dir.file("source.mdl");
    const std::string target = dir.file("processed.mdl");
    const std::string lights = dir.file("lights.cfg");
    write_file_bytes(source, model);
    write_file_text(lights, definition);
    std::remove(target.c_str());
    if (run_veska_in_process({source, target, lights}).exit_code != 0) {
        return {};
    }
    return read_file_bytes(target);
}

}  // namespace lumora
