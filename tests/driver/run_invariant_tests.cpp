// Properties of whole runs over many generated models and definition files
// (fixed seeds, so every run of the suite makes the same cases): what a run
// writes, what it leaves alone, and when it writes nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "lights/code_templates.h"
#include "tests/support/expected_template.h"
#include "tests/support/files.h"
#include "tests/support/run_invariants.h"
#include "tests/support/runner.h"
#include "tools/mdl_builder/mdl_builder.h"

namespace lumora {

namespace {

namespace mb = mdl_builder;

// A small generator whose sequence is the same on every platform.
struct Random {
    std::uint64_t state;
};

std::uint32_t next(Random& random)
{
    random.state += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = random.state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 16);
}

unsigned pick(Random& random, unsigned count) { return next(random) % count; }
bool chance(Random& random, unsigned percent) { return pick(random, 100) < percent; }
double between(Random& random, double low, double high)
{
    return low + (high - low) * (next(random) % 1000001) / 1000000.0;
}

// A length in metres written with a random unit (or none).
std::string length_text(Random& random, double metres)
{
    struct Unit {
        const char* suffix;
        double metres;
    };
    static const Unit units[] = {{"", 1}, {" m", 1}, {"m", 1}, {" cm", 0.01}, {"CM", 0.01},
                                 {" ft", 0.3048}, {"\tft", 0.3048}, {" in", 0.0254}};
    const Unit& unit = units[pick(random, sizeof units / sizeof units[0])];
    char text[64];
    std::snprintf(text, sizeof text, "%.4f%s", metres / unit.metres, unit.suffix);
    return text;
}

std::string number_text(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

// The ways a generated definition file is made faulty: each draws an error
// message or fails a step, so that nothing may be written.
enum Fault {
    NO_FAULT,
    BAD_UNIT,
    UNKNOWN_NAME,
    DUPLICATE_KEY,
    MISSING_LIGHT_SECTION,
    ZERO_RANGE,
    LIGHTS_OUT_OF_RANGE,
    NO_LIGHTS_KEY,
    NO_VALUE,
    STRAY_LINE,
    FAULT_COUNT
};

struct DefinitionFile {
    std::string text;
    unsigned lights;
    Fault fault;
};

struct KeyLine {
    const char* name;
    bool length;
    double low;
    double high;
};

const KeyLine LIGHT_KEYS[] = {
    {"Pitch", false, -10, 15},     {"Direction", false, -45, 45}, {"LatOffset", true, -10, 10},
    {"LonOffset", true, -5, 20},   {"ZOffset", true, -3, 3},      {"MaxRange", true, 5, 100},
    {"SpotWidth", true, 1, 50},    {"SpotDepth", true, 1, 80},
};

std::string key_line(Random& random, const KeyLine& key)
{
    const double value = between(random, key.low, key.high);
    return std::string(key.name) + "=" + (key.length ? length_text(random, value) : number_text(value)) + "\n";
}

std::string light_section(Random& random, unsigned number, Fault fault)
{
    static const char* const forms[] = {"[Light %u]\n", "[LIGHT %u]\n", "[light %u]\n"};
    char header[32];
    std::snprintf(header, sizeof header, forms[pick(random, 3)], number);
    std::string text = header;
    const unsigned first = pick(random, 8);
    const unsigned count = pick(random, 9);
    for (unsigned i = 0; i < count; ++i) {
        const KeyLine& key = LIGHT_KEYS[(first + i) % 8];
        if (fault == ZERO_RANGE && std::strcmp(key.name, "MaxRange") == 0) {
            continue;
        }
        text += key_line(random, key);
        if (chance(random, 10)) {
            text += "; " + std::string(key.name) + " as measured\n";
        }
    }
    if (number != 1) {
        return text;
    }
    switch (fault) {
    case BAD_UNIT:
        text += "SpotWidth=12 mm\n";
        break;
    case UNKNOWN_NAME:
        text += "Colour=white\n";
        break;
    case DUPLICATE_KEY:
        text += "LonOffset=2\nlonoffset=3\n";
        break;
    case ZERO_RANGE:
        text += "MaxRange=0\n";
        break;
    case NO_VALUE:
        text += "ZOffset=\n";
        break;
    default:
        break;
    }
    return text;
}

DefinitionFile make_definition(Random& random)
{
    DefinitionFile definition{"", 1 + pick(random, 3), NO_FAULT};
    if (chance(random, 30)) {
        definition.fault = static_cast<Fault>(1 + pick(random, FAULT_COUNT - 1));
    }
    std::string& text = definition.text;
    if (chance(random, 30)) {
        text += "; generated definition file\n\n";
    }
    if (definition.fault == STRAY_LINE) {
        text += "MainGearDist=1\n";
    }
    static const char* const main_forms[] = {"[Main]\n", "[MAIN]\n", "[main]\n"};
    text += main_forms[pick(random, 3)];
    if (definition.fault == LIGHTS_OUT_OF_RANGE) {
        text += chance(random, 50) ? "Lights=0\n" : "Lights=4\n";
    } else if (definition.fault != NO_LIGHTS_KEY) {
        text += "Lights=" + std::to_string(definition.lights) + "\n";
    }
    // The gear: all four keys (a ground pitch), or some of them (none).
    const bool nose = chance(random, 50);
    const std::string gear_lines[] = {
        "MainGearHeight=" + length_text(random, between(random, -4, 0)) + "\n",
        "MainGearDist=" + length_text(random, between(random, -3, 3)) + "\n",
        std::string(nose ? "NoseGearHeight=" : "TailGearHeight=") + length_text(random, between(random, -4, 0)) + "\n",
        std::string(nose ? "NoseGearDist=" : "TailGearDist=") +
            length_text(random, nose ? between(random, -12, -4) : between(random, 4, 12)) + "\n",
    };
    const bool all_gear = chance(random, 70);
    for (const std::string& line : gear_lines) {
        if (all_gear || chance(random, 50)) {
            text += line;
        }
    }
    if (chance(random, 20)) {
        text += " Lights=3 (a line beginning with a blank is ignored)\n";
    }
    const unsigned missing = definition.fault == MISSING_LIGHT_SECTION ? 1 + pick(random, definition.lights) : 0;
    for (unsigned number = 1; number <= definition.lights; ++number) {
        if (number != missing) {
            text += light_section(random, number, definition.fault);
        }
        if (chance(random, 15)) {
            text += "\n";
        }
    }
    if (definition.lights < 3 && chance(random, 15)) {
        text += light_section(random, 3, NO_FAULT);  // beyond the count: a warning only
    }
    if (chance(random, 20)) {
        std::string crlf;
        for (const char c : text) {
            crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        }
        text = crlf;
    }
    return definition;
}

struct Model {
    Bytes bytes;
    bool accepted;   // a whole, unmodified model of the accepted layout
    bool fits;       // the lights' block and the trailer fit its free room
};

Model make_model(Random& random, unsigned lights)
{
    const std::uint32_t n = TEMPLATE_VALUES[lights - 1].size;
    mb::SampleOptions options;
    switch (pick(random, 4)) {
    case 0:  // right at the edge of what the block needs
        options.free_room = n + 252 + 2 * pick(random, 3) - 2;
        break;
    case 1:
        options.free_room = 2 * pick(random, 600);
        break;
    default:
        options.free_room = 2 * (500 + pick(random, (mb::LARGEST_FREE_ROOM - 1000) / 2));
        break;
    }
    if (chance(random, 5)) {
        options.end_word = static_cast<std::uint16_t>(0x0100 + pick(random, 0xFE00));
    }
    options.length_word = next(random) * 0x10001u;
    const unsigned size_kind = pick(random, 10);
    if (size_kind < 3) {
        options.file_size = mb::NATURAL_FILE_SIZE + 1 + pick(random, 65536);
    } else if (size_kind == 3) {
        options.file_size = pick(random, mb::CODE_AREA_END);
    }
    Model model{mb::build_sample_mdl(options), false, false};
    Bytes& bytes = model.bytes;
    model.accepted = bytes.size() >= mb::CODE_AREA_END;
    if (!model.accepted) {
        return model;
    }
    // Other code, header word and data around the area, so that every case
    // moves different bytes and has different bytes to leave alone.
    const std::uint32_t area = mb::CODE_AREA_AT;
    const std::uint32_t end = 0xFFFE - options.free_room;  // area offset of the end code
    mb::put_le32(bytes, area + 8, next(random));
    for (unsigned i = 0; i < 40 && end > 46; ++i) {
        const std::uint32_t at = 46 + 2 * pick(random, (end - 46) / 2);
        mb::put_le16(bytes, area + at, static_cast<std::uint16_t>(next(random)));
    }
    for (std::uint32_t at = 0x50; at < 0x80; ++at) {
        bytes[at] = static_cast<std::uint8_t>(next(random));
    }
    for (std::uint32_t at = mb::CODE_AREA_END; at < bytes.size(); at += 1 + pick(random, 64)) {
        bytes[at] = static_cast<std::uint8_t>(next(random));
    }
    model.fits = options.end_word == mb::END_CODE && options.free_room >= n + 252;
    return model;
}

const Bytes OLD_FILE = {'o', 'l', 'd', '\n'};

struct Tally {
    unsigned cases = 0;
    unsigned written = 0;
    unsigned refused_by_errors = 0;
    unsigned refused_models = 0;
    unsigned in_place = 0;
};

void run_case(Random& random, const ScratchDir& dir, Tally& tally)
{
    const DefinitionFile definition = make_definition(random);
    const Model model = make_model(random, definition.lights);
    const bool in_place = chance(random, 50);
    const bool earlier_file = chance(random, 50);

    const std::string source = dir.file("model.mdl");
    const std::string backup = dir.file("model.MD$");
    const std::string target = dir.file("target.mdl");
    const std::string definition_file = dir.file("lights.cfg");
    for (const std::string& name : folder_entries(dir.path())) {
        std::filesystem::remove(dir.file(name));
    }
    write_file_bytes(source, model.bytes);
    write_file_text(definition_file, definition.text);
    const std::string kept = in_place ? backup : target;  // a file there before the run
    if (earlier_file) {
        write_file_bytes(kept, OLD_FILE);
    }
    const RunSetup setup = {dir.path(), source,      in_place ? source : target,     definition_file,
                            in_place,   model.bytes, earlier_file, earlier_file ? OLD_FILE : Bytes{}};

    const RunOutcome run = in_place ? run_veska_in_process({source, definition_file})
                                    : run_veska_in_process({source, target, definition_file});
    SCOPED_TRACE("case " + std::to_string(tally.cases) + (in_place ? ", in place" : ", three names") +
                 "\n--- definition file:\n" + definition.text + "--- output:\n" + run.output);
    ++tally.cases;
    tally.in_place += in_place ? 1 : 0;

    // What every run must leave, whatever its inputs.
    if (const char* problem = check_run_invariants(setup, run)) {
        ADD_FAILURE() << problem;
    }

    // What this case's inputs decide: the exit code, whether the model was
    // loaded (and so backed up in place) and the size of the block written.
    const bool clean = definition.fault == NO_FAULT;
    if (!clean) {
        EXPECT_NE(run.exit_code, 0);
    }
    if (clean && model.accepted && model.fits) {
        EXPECT_EQ(run.exit_code, 0);
    }
    if (!model.accepted || (clean && !model.fits)) {
        EXPECT_EQ(run.exit_code, 1);
    }
    if (in_place) {
        EXPECT_EQ(file_exists(backup), model.accepted || earlier_file);
        EXPECT_EQ(read_file_bytes(backup), model.accepted ? model.bytes : earlier_file ? OLD_FILE : Bytes{})
            << "the backup is not the source as read";
    }

    if (run.exit_code != 0) {
        const bool refused_for_errors = model.accepted && (run.error_flag != 0 || !clean);
        tally.refused_by_errors += refused_for_errors ? 1 : 0;
        tally.refused_models += refused_for_errors ? 0 : 1;
        return;
    }
    ++tally.written;
    EXPECT_EQ(run.block.size, TEMPLATE_VALUES[definition.lights - 1].size) << "the block is not the one for the lights defined";
}

constexpr unsigned CASES_PER_SEED = 250;

class RunInvariants : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(RunInvariants, HoldForEveryGeneratedCase)
{
    Random random{GetParam()};
    ScratchDir dir;
    Tally tally;
    for (unsigned i = 0; i < CASES_PER_SEED && !HasFatalFailure(); ++i) {
        run_case(random, dir, tally);
    }
    // The generator must reach every outcome, or some invariants were never
    // put to the test.
    EXPECT_EQ(tally.cases, CASES_PER_SEED);
    EXPECT_GE(tally.written, CASES_PER_SEED / 4);
    EXPECT_GE(tally.refused_by_errors, CASES_PER_SEED / 10);
    EXPECT_GE(tally.refused_models, CASES_PER_SEED / 20);
    EXPECT_GE(tally.in_place, CASES_PER_SEED / 3);
    std::printf("seed %llu: %u cases, %u written (%u in place overall), %u refused for errors, %u refused models\n",
                static_cast<unsigned long long>(GetParam()), tally.cases, tally.written, tally.in_place,
                tally.refused_by_errors, tally.refused_models);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RunInvariants, ::testing::Values(1u, 2u, 3u, 4u));

}  // namespace

}  // namespace lumora
