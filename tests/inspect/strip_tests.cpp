// --strip: every model veska writes goes back to its source byte for byte,
// and anything that is not exactly veska's insertion is refused untouched.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "tests/inspect/inspect_support.h"
#include "tests/support/files.h"
#include "tests/support/runner.h"
#include "tests/support/worked_example.h"
#include "tools/mdl_builder/mdl_builder.h"

namespace lumora {

namespace {

namespace mb = mdl_builder;

std::string read_example(const char* name)
{
    return read_file_text(std::string(EXAMPLES_DIR) + "/" + name);
}

// Models that differ where the insertion and its undoing could go wrong:
// the room (down to the exact need, so that the trailer ends the area), a
// length word that wraps when the block's length is added, data behind the
// area, and the longest and shortest model codes.
std::vector<Bytes> corpus_models()
{
    std::vector<Bytes> models;
    std::vector<mb::SampleOptions> options(1);
    for (std::uint32_t room : {616u, 792u, 968u, 970u, mb::LARGEST_FREE_ROOM}) {
        mb::SampleOptions o;
        o.free_room = room;
        options.push_back(o);
    }
    mb::SampleOptions wraps;
    wraps.length_word = 0xFFFFFF00u;
    options.push_back(wraps);
    mb::SampleOptions longer;
    longer.file_size = mb::NATURAL_FILE_SIZE + 4097;
    options.push_back(longer);
    for (const mb::SampleOptions& o : options) {
        models.push_back(mb::build_sample_mdl(o));
    }
    return models;
}

std::vector<std::string> corpus_definitions()
{
    std::vector<std::string> definitions = {worked_definition(1), worked_definition(2), worked_definition(3),
                                            read_example("one_light.cfg"), read_example("two_lights.cfg"),
                                            read_example("three_lights.cfg")};
    // Lights below the ground line, far out and small enough for the finest
    // scale, with plain defaults for the rest.
    definitions.push_back("[Main]\nLights=2\n[Light 1]\nZOffset=-3\nPitch=0\n"
                          "[Light 2]\nLatOffset=-80\nLonOffset=85\nSpotWidth=0.05\nSpotDepth=0.01\n");
    return definitions;
}

class Strip : public ::testing::Test {
protected:
    ScratchDir dir_;
    std::string model_ = dir_.file("plane.mdl");
    std::string target_ = dir_.file("restored.mdl");
};

TEST_F(Strip, GivesBackTheSourceOfEveryModelVeskaWrites)
{
    unsigned written = 0;
    for (const Bytes& source : corpus_models()) {
        for (const std::string& definition : corpus_definitions()) {
            const Bytes processed = processed_by_veska(dir_, source, definition);
            if (processed.empty()) {
                continue;  // too little room for this many lights
            }
            ++written;
            write_file_bytes(model_, processed);
            const RunOutcome r = run_inspect_in_process({"--strip", model_, target_});
            ASSERT_EQ(r.exit_code, 0) << r.output;
            ASSERT_TRUE(read_file_bytes(target_) == source) << definition;
            EXPECT_EQ(read_file_bytes(model_), processed);
        }
    }
    // 8 models, 7 definitions (two with one light, three with two, two with
    // three): the model with room for one light refuses the five others, the
    // one with room for two the two with three lights.
    EXPECT_EQ(written, 8u * 7u - 5u - 2u);
}

TEST_F(Strip, InPlaceWithoutABackup)
{
    const Bytes source = mb::build_sample_mdl();
    write_file_bytes(model_, processed_by_veska(dir_, source, worked_definition(3)));
    std::filesystem::remove(dir_.file("source.mdl"));
    std::filesystem::remove(dir_.file("processed.mdl"));
    std::filesystem::remove(dir_.file("lights.cfg"));
    const RunOutcome r = run_inspect_in_process({"--strip", model_});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.output, "3 landing lights and the trailer block taken out of " + model_ +
                            "; the restored model is written to " + model_ + ".\n");
    EXPECT_EQ(read_file_bytes(model_), source);
    EXPECT_EQ(folder_entries(dir_.path()), std::vector<std::string>{"plane.mdl"});
}

TEST_F(Strip, RefusesAnythingButVeskasOwnInsertionAndWritesNothing)
{
    const Bytes source = mb::build_sample_mdl();
    const Bytes processed = processed_by_veska(dir_, source, worked_definition(1));
    ASSERT_FALSE(processed.empty());
    const std::size_t block = AREA_AT + 12;
    const std::size_t trailer = AREA_AT + 16386 + 364;
    auto changed = [&processed](std::size_t at, std::uint8_t value) {
        Bytes b = processed;
        b[at] = value;
        return b;
    };
    Bytes no_trailer = processed;
    std::fill(no_trailer.begin() + trailer, no_trailer.begin() + trailer + 250, 0);
    mb::SampleOptions foreign;
    foreign.mz_signature = 0x4D5A;

    struct Case {
        const char* name;
        Bytes model;
        const char* reason;
    };
    const Case cases[] = {
        {"first word", changed(block, 0x77), "differs at its byte 0 (area offset 12): 0x77 where the block has 0x76"},
        {"transfer distance", changed(block + 58, 0xB5), "differs at its byte 58"},
        {"light test opcode", changed(block + 170, 0x4B), "differs at its byte 170"},
        {"outline index", changed(block + 184 + 131, 1), "differs at its byte 315"},
        {"closing word", changed(block + 363, 0), "differs at its byte 363"},
        {"scale", changed(block + 196, 14), "light 1's scale is 14, not 7 to 13"},
        {"outline z", changed(block + 204 + 6 * 5 + 4, 99), "the outline points of light 1 do not all have the same z"},
        {"trailer byte", changed(trailer + 100, 0), "its byte 100 (area offset 16850) is 0x00"},
        {"trailer missing", no_trailer, "the trailer block is missing: nothing but zeros follows the end code"},
        {"zero word", changed(trailer - 2, 5), "the word in front of the trailer block (area offset 16748) is 0x0005"},
        {"end code", changed(trailer - 4, 0x23), "the word at area offset 16746 is 0x0023, not 0x0022"},
        {"former mark", changed(block + 364 + 30, 0x3B), "the word at area offset 42 would be wrong"},
        {"unprocessed", source, "the model code is unprocessed: it carries no landing lights"},
        {"not a model", mb::build_sample_mdl(foreign), "does not begin with the \"MZ\" signature"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool in_place : {true, false}) {
            write_file_bytes(model_, c.model);
            const RunOutcome r = in_place ? run_inspect_in_process({"--strip", model_})
                                          : run_inspect_in_process({"--strip", model_, target_});
            EXPECT_EQ(r.exit_code, 1);
            EXPECT_NE(r.output.find(c.reason), std::string::npos) << r.output;
            EXPECT_EQ(r.output.substr(r.output.size() - 19), ".\nNothing written.\n");
            EXPECT_EQ(read_file_bytes(model_), c.model);
            EXPECT_FALSE(file_exists(target_));
        }
    }
}

TEST_F(Strip, ATargetThatCannotBeWrittenLeavesTheModel)
{
    const Bytes processed = processed_by_veska(dir_, mb::build_sample_mdl(), worked_definition(2));
    write_file_bytes(model_, processed);
    std::filesystem::create_directory(target_);
    const RunOutcome r = run_inspect_in_process({"--strip", model_, target_});
    // One exit code for every failure, the error's text in the message.
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.output, "Error opening target MDL file " + target_ + ": Is a directory\n");
    EXPECT_EQ(read_file_bytes(model_), processed);
}

}  // namespace

}  // namespace lumora
