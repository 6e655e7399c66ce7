// Replays inputs through the fuzz harnesses in the normal build: every input
// that once broke a harness (tests/fuzz/regressions/<harness>/), and every
// seed of the generated corpora, so that the checks the harnesses make hold
// for them on each build, with and without the sanitizers.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "fuzz/harness.h"
#include "fuzz/seed_corpus.h"
#include "tests/support/files.h"

namespace lumora {

namespace {

using Harness = const char* (*)(const std::uint8_t*, std::size_t);

struct HarnessCase {
    const char* name;  // also the folder of its regression inputs
    Harness harness;
    std::vector<Seed> (*seeds)();
};

const HarnessCase HARNESSES[] = {
    {"definition", fuzz_definition_input, definition_seeds},
    {"model", fuzz_model_input, model_seeds},
    {"run", fuzz_run_input, run_seeds},
};

void PrintTo(const HarnessCase& harness, std::ostream* out) { *out << harness.name; }

std::vector<std::string> regression_inputs(const char* harness)
{
    std::vector<std::string> paths;
    const std::filesystem::path folder = std::filesystem::path(VESKA_FUZZ_REGRESSIONS) / harness;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().filename() != ".gitkeep") {
            paths.push_back(entry.path().string());
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

class FuzzReplay : public ::testing::TestWithParam<HarnessCase> {};

TEST_P(FuzzReplay, EveryRegressionInputPasses)
{
    for (const std::string& path : regression_inputs(GetParam().name)) {
        const std::vector<std::uint8_t> input = read_file_bytes(path);
        const char* problem = GetParam().harness(input.data(), input.size());
        EXPECT_EQ(problem, nullptr) << path << ": " << problem;
    }
}

TEST_P(FuzzReplay, EverySeedPasses)
{
    const std::vector<Seed> seeds = GetParam().seeds();
    ASSERT_GE(seeds.size(), 30u);
    for (const Seed& seed : seeds) {
        const char* problem = GetParam().harness(seed.bytes.data(), seed.bytes.size());
        EXPECT_EQ(problem, nullptr) << seed.name << ": " << problem;
    }
}

INSTANTIATE_TEST_SUITE_P(Harnesses, FuzzReplay, ::testing::ValuesIn(HARNESSES),
                         [](const ::testing::TestParamInfo<HarnessCase>& info) { return info.param.name; });

}  // namespace

}  // namespace lumora
