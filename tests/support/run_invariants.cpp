#include "tests/support/run_invariants.h"

#include <algorithm>
#include <array>
#include <vector>

#include "mdl/insertion.h"
#include "output/output.h"
#include "tests/support/expected_template.h"

namespace lumora {

namespace {

// The layout, spelled out here rather than taken from the program.
constexpr std::size_t AREA_AT = 0x11F8;
constexpr std::size_t AREA_SIZE = 0x10000;
constexpr std::size_t HEADER_BYTES = 12;
constexpr std::size_t TRAILER_BYTES = 250;
constexpr std::uint32_t END_WORD = 0x0022;

std::uint32_t get16(const Bytes& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }

std::uint32_t get32(const Bytes& b, std::size_t at) { return get16(b, at) | (get16(b, at + 2) << 16); }

std::string base_name(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

// The last line of a run that wrote target with the given number of lights.
std::string success_line(const std::string& target, unsigned lights)
{
    return "MDL file " + target + " with " + std::to_string(lights) + " landing light" + (lights == 1 ? "" : "s") +
           " successfully written.\n";
}

// The number of lights (1 to 3) a run said it wrote target with, or 0.
unsigned lights_said_written(const std::string& output, const std::string& target)
{
    for (unsigned lights = 1; lights <= 3; ++lights) {
        if (ends_with(output, success_line(target, lights))) {
            return lights;
        }
    }
    return 0;
}

// The checks of the backup of an in-place run whose backup name is not the
// model's own name.
const char* check_backup(const RunSetup& setup, const RunOutcome& run, const std::string& backup)
{
    // Loading prints nothing, so the backup's line comes right after the
    // banner, before anything from the definition file can be printed.
    const std::string announced_line = "Backup MDL file " + backup + " created.\n";
    const bool announced = after_banner(run.output).compare(0, announced_line.size(), announced_line) == 0;
    const bool exists = file_exists(backup);
    const Bytes now = read_file_bytes(backup);
    if (announced && (!exists || now != setup.source_bytes)) {
        return "the backup differs from the source as read";
    }
    if (!announced && !exists && setup.kept_existed) {
        return "the file at the backup name was removed";
    }
    if (!announced && (exists != setup.kept_existed || now != setup.kept_bytes)) {
        return "a run that said it made no backup changed the file at the backup name";
    }
    if (run.exit_code == 0 && !announced) {
        return "a successful in-place run made no backup";
    }
    return nullptr;
}

// A second run over the written file refuses it and writes nothing, not even
// a backup.
const char* check_second_run(const RunSetup& setup, const Bytes& written, const std::string& backup)
{
    const std::vector<std::string> names_before = folder_entries(setup.folder);
    const Bytes backup_before = read_file_bytes(backup);
    const RunOutcome again = run_veska_in_process({setup.target, setup.definition});
    if (again.exit_code != 1 || !ends_with(again.output, setup.target + " is not an unmodified MDL file.\n")) {
        return "a second run did not refuse the written file";
    }
    if (read_file_bytes(setup.target) != written || read_file_bytes(backup) != backup_before ||
        folder_entries(setup.folder) != names_before) {
        return "a second run wrote something";
    }
    return nullptr;
}

}  // namespace

bool expected_insertion(const Bytes& source, const std::uint8_t* block, std::size_t n, Bytes& result)
{
    if (source.size() < AREA_AT + AREA_SIZE) {
        return false;
    }
    std::size_t free_room = 0;
    while (free_room < AREA_SIZE && get16(source, AREA_AT + AREA_SIZE - 2 - free_room) == 0) {
        free_room += 2;
    }
    // The last non-zero word must be the end code, behind the area's header.
    if (free_room + HEADER_BYTES > AREA_SIZE - 2 || get16(source, AREA_AT + AREA_SIZE - 2 - free_room) != END_WORD ||
        free_room < n + 2 + TRAILER_BYTES) {
        return false;
    }
    const std::size_t end = AREA_SIZE - 2 - free_room;  // area offset of the end code
    const std::size_t used = end + 2 - HEADER_BYTES;
    result = source;
    const std::uint32_t length = get32(source, AREA_AT + 4) + static_cast<std::uint32_t>(n);
    for (int i = 0; i < 4; ++i) {
        result[AREA_AT + 4 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    }
    std::copy(block, block + n, result.begin() + AREA_AT + HEADER_BYTES);
    std::copy(source.begin() + AREA_AT + HEADER_BYTES, source.begin() + AREA_AT + HEADER_BYTES + used,
              result.begin() + AREA_AT + HEADER_BYTES + n);
    // One zero word behind the moved end code, then the trailer; the rest of
    // the free room stays zero.
    const std::vector<std::uint8_t> trailer = expected_trailer();
    std::fill(result.begin() + AREA_AT + end + n + 2, result.begin() + AREA_AT + AREA_SIZE, 0);
    std::copy(trailer.begin(), trailer.end(), result.begin() + AREA_AT + end + n + 4);
    return true;
}

const char* check_filled_block(const CodeTemplate& block, unsigned lights, const LightRecord* records)
{
    if (lights < 1 || lights > 3) {
        return "no template for that number of lights";
    }
    const Bytes filled = expected_filled_template(TEMPLATE_VALUES[lights - 1], records);
    if (block.size != filled.size()) {
        return "the filled block's size does not follow from the number of lights";
    }
    if (!std::equal(filled.begin(), filled.end(), block.bytes)) {
        return "the filled block holds something other than the template with the lights' records";
    }
    return nullptr;
}

const char* check_run_invariants(const RunSetup& setup, const RunOutcome& run)
{
    if (run.error_flag != 0 && run.exit_code == 0) {
        return "a run that reported an error ended with 0";
    }
    const unsigned lights = lights_said_written(run.output, setup.target);
    if (run.exit_code != 0 && lights != 0) {
        return "a failed run said it wrote its target";
    }
    if (run.exit_code == 0 && lights == 0) {
        return "a successful run did not say that it wrote its target with 1 to 3 lights";
    }
    const std::string backup = backup_name(setup.source.c_str());
    const bool backup_is_source = backup == setup.source;
    if (!(setup.in_place && run.exit_code == 0) && read_file_bytes(setup.source) != setup.source_bytes) {
        return "the source changed";
    }
    const std::string allowed[] = {base_name(setup.source), base_name(setup.definition),
                                   base_name(setup.in_place ? backup : setup.target)};
    for (const std::string& name : folder_entries(setup.folder)) {
        if (std::find(std::begin(allowed), std::end(allowed), name) == std::end(allowed)) {
            return "a run left another file behind";
        }
    }
    if (setup.in_place && backup_is_source && run.exit_code == 0) {
        return "an in-place run whose backup would be the model itself wrote the model";
    }
    if (setup.in_place && !backup_is_source) {
        if (const char* problem = check_backup(setup, run, backup)) {
            return problem;
        }
    }
    if (!setup.in_place && run.exit_code != 0) {
        if (file_exists(setup.target) != setup.kept_existed || read_file_bytes(setup.target) != setup.kept_bytes) {
            return "a failed run changed the target";
        }
    }
    if (run.exit_code != 0) {
        return nullptr;
    }

    if (const char* problem = check_filled_block(run.block, lights, run.lights.records)) {
        return problem;
    }
    Bytes expected;
    if (!expected_insertion(setup.source_bytes, run.block.bytes, run.block.size, expected)) {
        return "a block that does not fit was written";
    }
    const Bytes written = read_file_bytes(setup.target);
    if (written.size() != setup.source_bytes.size()) {
        return "the written file's length differs from the source's";
    }
    if (written != expected) {
        return "the written file is not the source with the block inserted";
    }
    return check_second_run(setup, written, backup);
}

}  // namespace lumora
