#include "fuzz/harness.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "basics/le_words.h"
#include "definition/reader.h"
#include "lights/code_templates.h"
#include "lights/light_geometry.h"
#include "mdl/insertion.h"
#include "mdl/mdl_layout.h"
#include "output/output.h"
#include "platform/file_system.h"
#include "tests/support/files.h"
#include "tests/support/run_invariants.h"
#include "tests/support/runner.h"

namespace lumora {

namespace {

// Fills the light records with values taken from the input, so that the
// inserted block varies with it.
void fill_records_from(const Bytes& input, LightSet& lights)
{
    std::uint32_t state = 2166136261u;
    for (std::size_t i = 0; i < input.size(); i += 97) {
        state = (state ^ input[i]) * 16777619u;
    }
    auto next = [&state]() {
        state = state * 1664525u + 1013904223u;
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(state >> 12));
    };
    for (LightRecord& record : lights.records) {
        record.beam = {next(), next(), next()};
        for (ModelVector& point : record.outline) {
            point = {next(), next(), next()};
        }
        record.scale = static_cast<std::uint16_t>(SCALE_FINEST + static_cast<std::uint16_t>(next()) % 7);
    }
}

Bytes image_bytes(const MdlImage& image) { return Bytes(image.bytes(), image.bytes() + image.size); }

// The input written as a model file at path and loaded into image.
const char* check_model(const Bytes& input, const std::string& path, MdlImage& image)
{
    write_file_bytes(path, input);
    MessageLog unheard;
    Diagnostics diagnostics{unheard};
    SystemFileSystem files;
    if (load_mdl(diagnostics, files, image, path) != Step::done) {
        if (image.bytes() != nullptr || image.code_area != nullptr) {
            return "a refused model left an image behind";
        }
        return nullptr;
    }
    if (image_bytes(image) != input) {
        return "the loaded image differs from the file";
    }
    if (input.size() < MODEL_CODE_END || image.code_area != image.bytes() + MODEL_CODE_OFFSET) {
        return "a model without a whole model-code area was accepted";
    }
    if (!code_is_unmodified(image.code_area)) {
        return "a modified model was accepted";
    }

    const unsigned n = 1 + input.back() % LIGHT_COUNT_MAX;
    LightSet lights{};
    fill_records_from(input, lights);
    CodeTemplate block = code_template(n);
    fill_code_template(block, n, lights.records);
    if (const char* problem = check_filled_block(block, n, lights.records)) {
        return problem;
    }
    Bytes expected;
    const bool fits = expected_insertion(input, block.bytes, block.size, expected);
    const Step inserted = insert_code(diagnostics, image.code_area, block.bytes, block.size);
    if (inserted != Step::done) {
        if (fits) {
            return "a block that fits was refused";
        }
        if (image_bytes(image) != input) {
            return "a refused insertion changed the image";
        }
        return nullptr;
    }
    if (!fits) {
        return "a block that does not fit was inserted";
    }
    if (image_bytes(image) != expected) {
        return "the image after the insertion differs from the expected bytes";
    }
    if (code_is_unmodified(image.code_area)) {
        return "a model with lights still counts as unmodified";
    }
    return nullptr;
}

// What reading a definition file and computing its lights uses.
struct DefinitionRun {
    MessageLog unheard;
    Diagnostics diagnostics{unheard};
    Definition definition;
    LightSet lights{};
};

// The input written as a definition file at path, read and its lights
// computed in run.
const char* check_definition(const Bytes& input, const std::string& path, DefinitionRun& run)
{
    write_file_bytes(path, input);
    run.diagnostics.definition_name = path;
    SystemFileSystem files;
    const ReadOutcome result = read_definition_named(run.diagnostics, files, run.definition, path);
    if (result == ReadOutcome::not_read) {
        // Only a file that announces UTF-16 and is none is not read.
        return decode_definition_bytes(std::string(input.begin(), input.end())).valid
                   ? "the definition file was not read"
                   : nullptr;
    }
    const unsigned lights = run.definition.light_count;
    if (!run.definition.sections[MAIN_SECTION].defined && lights != 0) {
        return "a number of lights without a [Main] section";
    }
    if (result == ReadOutcome::read && run.definition.sections[MAIN_SECTION].defined && (lights < 1 || lights > 3)) {
        return "reading succeeded with an invalid number of lights";
    }
    if (result != ReadOutcome::read) {
        return nullptr;
    }
    if (compute_lights(run.diagnostics, run.definition, run.lights) != Step::done || lights < 1 ||
        lights > LIGHT_COUNT_MAX) {
        return nullptr;
    }
    for (unsigned i = 0; i < lights; ++i) {
        const std::uint16_t scale = run.lights.records[i].scale;
        if (scale < SCALE_FINEST || scale > SCALE_COARSEST) {
            return "a light's scale lies outside 7 .. 13";
        }
    }
    CodeTemplate block = code_template(lights);
    fill_code_template(block, lights, run.lights.records);
    return check_filled_block(block, lights, run.lights.records);
}

// The model's file name, chosen by the input: mostly a plain one, sometimes
// one whose backup name is special.
std::string model_name(unsigned variant)
{
    switch (variant) {
    case 8:
        return "model";  // no extension: ".MD$" is appended
    case 9:
        return "model.MD$";  // its own backup name
    case 10:
        return "m.o.d.e.l";  // only the last dot starts the extension
    case 11:
        return std::string(251, 'k') + ".mdl";  // a backup name of 255 bytes
    case 12:
        return std::string(252, 'n');  // a backup name of 256 bytes: too long
    default:
        return "model.mdl";
    }
}

Bytes text_bytes(const char* text) { return Bytes(text, text + std::strlen(text)); }

// Both runs of harness 3 in folder: each must leave what any run leaves
// (check_run_invariants), and the two must agree with each other.
const char* check_run(const ScratchDir& folder, const Bytes& definition, const Bytes& model, unsigned name_variant)
{
    const std::string source = folder.file(model_name(name_variant));
    const std::string definition_file = folder.file("lights.cfg");
    write_file_bytes(source, model);
    write_file_bytes(definition_file, definition);

    // Three names, over a target that stands there already.
    const RunSetup three = {folder.path(), source, folder.file("target.mdl"), definition_file, false, model, true,
                            text_bytes("the target as it was before the run\n")};
    write_file_bytes(three.target, three.kept_bytes);
    const RunOutcome three_run = run_veska_in_process({three.source, three.target, three.definition});
    if (const char* problem = check_run_invariants(three, three_run)) {
        return problem;
    }
    const Bytes three_written = read_file_bytes(three.target);
    // The in-place run below may leave its own files only: the target goes.
    std::filesystem::remove(three.target);

    // In place, over an earlier backup where one can be made. A backup that
    // would be the model itself, or whose name is too long, cannot be made:
    // the run must stop before it writes anything.
    const std::string backup = backup_name(source.c_str());
    const bool backup_possible =
        backup != source && std::filesystem::path(backup).filename().string().size() <= 255;
    RunSetup in_place = {folder.path(), source, source, definition_file, true, model, backup_possible, Bytes{}};
    if (backup_possible) {
        in_place.kept_bytes = text_bytes("the backup as it was before the run\n");
        write_file_bytes(backup, in_place.kept_bytes);
    }
    const RunOutcome in_place_run = run_veska_in_process({source, definition_file});
    if (const char* problem = check_run_invariants(in_place, in_place_run)) {
        return problem;
    }
    if (!backup_possible) {
        return in_place_run.exit_code == 0 ? "an in-place run without a possible backup wrote the model" : nullptr;
    }
    if (in_place_run.exit_code != three_run.exit_code) {
        return "in place and three-name mode ended differently";
    }
    if (in_place_run.exit_code == 0 && read_file_bytes(source) != three_written) {
        return "in place and three-name mode wrote different bytes";
    }
    return nullptr;
}

}  // namespace

const char* fuzz_definition_input(const std::uint8_t* data, std::size_t size)
{
    const ScratchDir folder;
    DefinitionRun run;
    return check_definition(Bytes(data, data + size), folder.file("lights.cfg"), run);
}

const char* fuzz_model_input(const std::uint8_t* data, std::size_t size)
{
    const ScratchDir folder;
    MdlImage image;
    return check_model(Bytes(data, data + size), folder.file("model.mdl"), image);
}

const char* fuzz_run_input(const std::uint8_t* data, std::size_t size)
{
    // The name byte, the definition file's length, the two files.
    const unsigned name_variant = size >= 1 ? data[0] % 16 : 0;
    const std::size_t rest = size >= 3 ? size - 3 : 0;
    std::size_t definition_size = size >= 3 ? load_u16(data + 1) : 0;
    if (definition_size > rest) {
        definition_size = rest;
    }
    const std::uint8_t* definition = data + (size >= 3 ? 3 : size);
    const std::uint8_t* model = definition + definition_size;
    const ScratchDir folder;
    return check_run(folder, Bytes(definition, model), Bytes(model, model + (rest - definition_size)),
                     name_variant);
}

std::vector<std::uint8_t> make_run_input(const std::string& definition, const std::vector<std::uint8_t>& model,
                                         unsigned name_variant)
{
    const std::size_t definition_size = definition.size() < 0xFFFF ? definition.size() : 0xFFFF;
    std::vector<std::uint8_t> input(3 + definition_size + model.size());
    input[0] = static_cast<std::uint8_t>(name_variant);
    store_u16(input.data() + 1, static_cast<std::uint16_t>(definition_size));
    std::memcpy(input.data() + 3, definition.data(), definition_size);
    if (!model.empty()) {
        std::memcpy(input.data() + 3 + definition_size, model.data(), model.size());
    }
    return input;
}

}  // namespace lumora
