// Runs of different models and definition files, one after the other in one
// process, each give exactly what the veska program gives when it runs the
// same inputs as a fresh process: nothing of one run reaches the next.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/runner.h"
#include "tests/support/worked_example.h"
#include "tools/mdl_builder/mdl_builder.h"

namespace lumora {

namespace {

struct RunCase {
    const char* name;
    mdl_builder::SampleOptions model;
    unsigned lights;  // of the worked example's definition file
    bool in_place;
};

mdl_builder::SampleOptions other_model()
{
    mdl_builder::SampleOptions options;
    options.free_room = 2000;                                   // longer model code
    options.file_size = mdl_builder::NATURAL_FILE_SIZE + 777;  // data behind the last section
    return options;
}

const RunCase CASES[] = {
    {"sample model, one light, in place", mdl_builder::SampleOptions{}, 1, true},
    {"other model, three lights, three names", other_model(), 3, false},
};

// What a run printed and the files it left in its folder.
struct RunResult {
    int exit_code;
    std::string output;
    std::vector<std::string> names;
    std::vector<Bytes> files;
};

// Fresh copies of the case's input files in folder, which holds nothing
// else afterwards, and the command's arguments for them.
std::vector<std::string> fresh_inputs(const std::string& folder, const RunCase& c)
{
    for (const std::string& name : folder_entries(folder)) {
        std::filesystem::remove(folder + "/" + name);
    }
    const std::string model = folder + "/model.mdl";
    const std::string definition = folder + "/lights.cfg";
    write_file_bytes(model, mdl_builder::build_sample_mdl(c.model));
    write_file_text(definition, worked_definition(c.lights));
    if (c.in_place) {
        return {model, definition};
    }
    return {model, folder + "/lit.mdl", definition};
}

RunResult result_in(const std::string& folder, int exit_code, const std::string& output)
{
    RunResult result{exit_code, output, folder_entries(folder), {}};
    for (const std::string& name : result.names) {
        result.files.push_back(read_file_bytes(folder + "/" + name));
    }
    return result;
}

// The case run by the veska program in a process of its own, its standard
// output going to output_file.
RunResult in_fresh_process(const std::string& folder, const std::string& output_file, const RunCase& c)
{
    const int exit_code = run_program(VESKA_PROGRAM, fresh_inputs(folder, c), output_file);
    return result_in(folder, exit_code, read_file_text(output_file));
}

RunResult in_this_process(const std::string& folder, const RunCase& c)
{
    const RunOutcome run = run_veska_in_process(fresh_inputs(folder, c));
    return result_in(folder, run.exit_code, run.output);
}

TEST(TwoRuns, AlternatingRunsInOneProcessGiveWhatAFreshProcessGives)
{
    ScratchDir dir;
    const std::string folder = dir.file("run");
    std::filesystem::create_directory(folder);
    for (int round = 1; round <= 3; ++round) {
        for (const RunCase& c : CASES) {
            SCOPED_TRACE(std::string(c.name) + ", round " + std::to_string(round));
            const RunResult here = in_this_process(folder, c);
            const RunResult fresh = in_fresh_process(folder, dir.file("stdout.txt"), c);
            // Both cases write, so that the comparison covers a written model.
            EXPECT_EQ(here.exit_code, 0) << here.output;
            EXPECT_EQ(here.exit_code, fresh.exit_code);
            EXPECT_EQ(here.output, fresh.output);
            ASSERT_EQ(here.names, fresh.names);
            for (std::size_t i = 0; i < here.names.size(); ++i) {
                EXPECT_TRUE(here.files[i] == fresh.files[i]) << here.names[i] << " differs";
            }
        }
    }
}

}  // namespace

}  // namespace lumora
