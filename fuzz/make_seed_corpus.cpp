// make-seed-corpus FOLDER: writes the seed corpora of the three harnesses to
// FOLDER/definition, FOLDER/model and FOLDER/run.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "fuzz/seed_corpus.h"
#include "tools/mdl_builder/mdl_builder.h"

using namespace lumora;

namespace {

void write_corpus(const std::filesystem::path& folder, const std::vector<Seed>& seeds)
{
    std::filesystem::create_directories(folder);
    for (const Seed& seed : seeds) {
        mdl_builder::write_bytes_to_file((folder / seed.name).string(), seed.bytes);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: make-seed-corpus FOLDER\n", stderr);
        return 2;
    }
    try {
        const std::filesystem::path folder(argv[1]);
        write_corpus(folder / "definition", definition_seeds());
        write_corpus(folder / "model", model_seeds());
        write_corpus(folder / "run", run_seeds());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make-seed-corpus: %s\n", error.what());
        return 1;
    }
    return 0;
}
