#include "fuzz/harness.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "definition/reader.h"
#include "driver/console.h"
#include "driver/run.h"
#include "driver/run_state.h"
#include "lights/code_templates.h"
#include "lights/light_geometry.h"
#include "mdl/insertion.h"
#include "mdl/le_words.h"
#include "mdl/mdl_image.h"
#include "mdl/output.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A folder for the files of one input, made when the input needs it and
// removed when it is done. Memory-backed where the machine has such a
// folder, so that the many small writes stay fast.
std::string scratch_folder;

const std::string& scratch()
{
    if (scratch_folder.empty()) {
        const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/veska-fuzz-XXXXXX";
        if (::mkdtemp(&pattern[0]) == nullptr) {
            std::perror("cannot make the scratch folder");
            std::abort();
        }
        scratch_folder = pattern;
    }
    return scratch_folder;
}

// The names in the scratch folder, sorted, without "." and "..".
std::vector<std::string> scratch_names()
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(scratch().c_str());
    if (dir == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            names.push_back(entry->d_name);
        }
    }
    ::closedir(dir);
    return names;
}

// Removes the scratch folder with everything in it.
void remove_scratch()
{
    if (scratch_folder.empty()) {
        return;
    }
    for (const std::string& name : scratch_names()) {
        ::unlink((scratch_folder + "/" + name).c_str());
    }
    ::rmdir(scratch_folder.c_str());
    scratch_folder.clear();
}

void write_whole(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::perror(path.c_str());
        std::abort();
    }
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0) {
            std::perror(path.c_str());
            std::abort();
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

// The whole file, or nothing with *exists false when it cannot be opened.
Bytes read_whole(const std::string& path, bool* exists)
{
    Bytes bytes;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    *exists = fd >= 0;
    if (fd < 0) {
        return bytes;
    }
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n <= 0) {
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    ::close(fd);
    return bytes;
}

bool same_bytes(const Bytes& file, const std::uint8_t* data, std::size_t size)
{
    return file.size() == size && (size == 0 || std::memcmp(file.data(), data, size) == 0);
}

// A stream over the bytes, read as the reader reads a file.
std::FILE* open_bytes(const std::uint8_t* data, std::size_t size)
{
    static std::uint8_t nothing = 0;
    std::FILE* stream = ::fmemopen(size > 0 ? const_cast<std::uint8_t*>(data) : &nothing, size, "r");
    if (stream == nullptr) {
        std::perror("fmemopen");
        std::abort();
    }
    return stream;
}

// Checks that template n holds the records of lights 1 .. n where the filling
// puts them.
const char* check_filled_template(unsigned n)
{
    const CodeTemplate& filled = code_template(n);
    if (filled.size != template_size(n)) {
        return "the template's size does not follow from the number of lights";
    }
    for (unsigned i = 1; i <= n; ++i) {
        const LightRecord& record = light_records[i - 1];
        const std::uint8_t* entry = filled.bytes + light_test_offset(i);
        const std::uint8_t* block = filled.bytes + light_block_offset(n, i);
        if (load_u16(entry + 6) != static_cast<std::uint16_t>(record.beam.x) ||
            load_u16(entry + 8) != static_cast<std::uint16_t>(record.beam.y) ||
            load_u16(entry + 10) != static_cast<std::uint16_t>(record.beam.z)) {
            return "a light's beam is not in its light test entry";
        }
        if (load_u16(block + 12) != record.scale) {
            return "a light's scale is not in its light block";
        }
        for (unsigned k = 0; k < OUTLINE_POINTS; ++k) {
            const ModelVector& point = record.outline[k];
            const std::uint8_t* at = block + 20 + 6 * k;
            if (load_u16(at) != static_cast<std::uint16_t>(point.x) ||
                load_u16(at + 2) != static_cast<std::uint16_t>(point.y) ||
                load_u16(at + 4) != static_cast<std::uint16_t>(point.z)) {
                return "a light's outline is not in its light block";
            }
        }
    }
    return nullptr;
}

// Fills the light records with values taken from the input, so that the
// inserted block varies with it.
void fill_records_from(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t state = 2166136261u;
    for (std::size_t i = 0; i < size; i += 97) {
        state = (state ^ data[i]) * 16777619u;
    }
    auto next = [&state]() {
        state = state * 1664525u + 1013904223u;
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(state >> 12));
    };
    for (LightRecord& record : light_records) {
        record.beam = {next(), next(), next()};
        for (ModelVector& point : record.outline) {
            point = {next(), next(), next()};
        }
        record.scale = static_cast<std::uint16_t>(SCALE_FINEST + static_cast<std::uint16_t>(next()) % 7);
    }
}

// F of the area: the bytes of zero words that end it.
std::uint32_t free_room_of(const std::uint8_t* area)
{
    std::uint32_t free_room = 0;
    for (std::uint32_t at = MODEL_CODE_SIZE - 2; load_u16(area + at) == 0; at -= 2) {
        free_room += 2;
        if (at == 0) {
            break;
        }
    }
    return free_room;
}

// The image that inserting the block into data must give, or false when the
// insertion must be refused.
bool expected_insertion(const std::uint8_t* data, std::size_t size, const std::uint8_t* block, unsigned n,
                        Bytes& expected)
{
    const std::uint8_t* area = data + MODEL_CODE_OFFSET;
    const std::uint32_t free_room = free_room_of(area);
    if (free_room >= MODEL_CODE_SIZE - CODE_HEADER_LENGTH) {
        return false;
    }
    const std::uint32_t end = MODEL_CODE_SIZE - 2 - free_room;
    if (load_u16(area + end) != END_CODE || free_room < n + 2 + TRAILER_SIZE) {
        return false;
    }
    expected.assign(data, data + size);
    std::uint8_t* out = expected.data() + MODEL_CODE_OFFSET;
    store_u32(out + 4, load_u32(area + 4) + n);
    const std::uint32_t used = end + 2 - CODE_HEADER_LENGTH;
    std::memcpy(out + CODE_HEADER_LENGTH + n, area + CODE_HEADER_LENGTH, used);
    std::memcpy(out + CODE_HEADER_LENGTH, block, n);
    std::uint8_t trailer[TRAILER_SIZE];
    copy_plain_trailer(trailer);
    std::memcpy(out + end + n + 4, trailer, TRAILER_SIZE);
    return true;
}

const char* check_model(const std::uint8_t* data, std::size_t size)
{
    const std::string path = scratch() + "/model.mdl";
    write_whole(path, data, size);
    if (load_mdl(path.c_str()) != 0) {
        if (run_state.image.buffer != nullptr || run_state.image.code_area != nullptr) {
            return "a refused model left an image behind";
        }
        return nullptr;
    }
    MdlImage& image = run_state.image;
    if (!same_bytes(Bytes(image.buffer, image.buffer + image.size), data, size)) {
        return "the loaded image differs from the file";
    }
    if (size < MODEL_CODE_END || image.code_area != image.buffer + MODEL_CODE_OFFSET) {
        return "a model without a whole model-code area was accepted";
    }
    if (check_unmodified(image.code_area) != 0) {
        return "a modified model was accepted";
    }

    const unsigned n = 1 + data[size - 1] % LIGHT_COUNT_MAX;
    fill_records_from(data, size);
    fill_code_template(n);
    const CodeTemplate& block = code_template(n);
    Bytes expected;
    const bool fits = expected_insertion(data, size, block.bytes, block.size, expected);
    const int inserted = insert_code(image.code_area, block.bytes, block.size);
    if (inserted != 0) {
        if (fits) {
            return "a block that fits was refused";
        }
        if (!same_bytes(Bytes(image.buffer, image.buffer + image.size), data, size)) {
            return "a refused insertion changed the image";
        }
        return nullptr;
    }
    if (!fits) {
        return "a block that does not fit was inserted";
    }
    if (image.size != size || !same_bytes(expected, image.buffer, image.size)) {
        return "the image after the insertion differs from the expected bytes";
    }
    if (check_unmodified(image.code_area) == 0) {
        return "a model with lights still counts as unmodified";
    }
    return nullptr;
}

const char* check_definition(const std::uint8_t* data, std::size_t size)
{
    std::FILE* stream = open_bytes(data, size);
    run_state.definition_name = "fuzz.cfg";
    int result = read_definition_file(stream);
    std::fclose(stream);
    const unsigned lights = run_state.light_count;
    if (run_state.sections[MAIN_SECTION].defined == 0 && lights != 0) {
        return "a number of lights without a [Main] section";
    }
    if (result == 0 && run_state.sections[MAIN_SECTION].defined != 0 && (lights < 1 || lights > 3)) {
        return "reading succeeded with an invalid number of lights";
    }
    if (result != 0) {
        return nullptr;
    }
    if (compute_lights() != 0 || lights < 1 || lights > LIGHT_COUNT_MAX) {
        return nullptr;
    }
    for (unsigned i = 0; i < lights; ++i) {
        if (light_records[i].scale < SCALE_FINEST || light_records[i].scale > SCALE_COARSEST) {
            return "a light's scale lies outside 7 .. 13";
        }
    }
    fill_code_template(lights);
    return check_filled_template(lights);
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

// The run's files in the scratch folder.
struct RunFiles {
    std::string source;
    std::string backup;
    std::string target;
    std::string definition;
};

const char PREVIOUS_TARGET[] = "the target as it was before the run\n";
const char PREVIOUS_BACKUP[] = "the backup as it was before the run\n";

std::string base_name(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

// Only the files the run may leave are there: no temporary file.
bool only_run_files(const RunFiles& files, bool backup_allowed)
{
    for (const std::string& name : scratch_names()) {
        const bool known = name == base_name(files.source) || name == base_name(files.target) ||
                           name == base_name(files.definition) || (backup_allowed && name == base_name(files.backup));
        if (!known) {
            return false;
        }
    }
    return true;
}

const char* check_run(const std::uint8_t* definition, std::size_t definition_size, const std::uint8_t* model,
                      std::size_t model_size, unsigned name_variant)
{
    RunFiles files = {scratch() + "/" + model_name(name_variant), "", scratch() + "/target.mdl",
                      scratch() + "/lights.cfg"};
    files.backup = backup_name(files.source.c_str());
    // A backup that would be the model itself, or whose name is too long,
    // cannot be made: the in-place run must stop before it writes anything.
    const bool backup_possible = files.backup != files.source && base_name(files.backup).size() <= 255;
    write_whole(files.source, model, model_size);
    write_whole(files.definition, definition, definition_size);
    write_whole(files.target, reinterpret_cast<const std::uint8_t*>(PREVIOUS_TARGET), sizeof PREVIOUS_TARGET - 1);
    bool exists = false;

    // Three names: the source is only read, no backup is made, and the
    // target is replaced only by a successful run.
    const char* three[] = {files.source.c_str(), files.target.c_str(), files.definition.c_str()};
    const int three_code = run_veska(3, three);
    const std::uint32_t three_errors = run_state.error_flag;
    reset_program_state();
    if (!same_bytes(read_whole(files.source, &exists), model, model_size)) {
        return "three-name mode changed the source";
    }
    if (!only_run_files(files, files.backup == files.source)) {
        return "three-name mode left a file behind";
    }
    const Bytes target = read_whole(files.target, &exists);
    const bool target_unchanged =
        same_bytes(target, reinterpret_cast<const std::uint8_t*>(PREVIOUS_TARGET), sizeof PREVIOUS_TARGET - 1);
    if (three_code == 0) {
        if (three_errors != 0) {
            return "a run that reported an error ended with 0";
        }
        if (target.size() != model_size) {
            return "the target's length differs from the source's";
        }
        // A model with lights is refused.
        if (load_mdl(files.target.c_str()) == 0) {
            return "the written target was accepted again";
        }
        reset_program_state();
    } else if (!target_unchanged) {
        return "a failed run changed the target";
    }

    // In place: the backup is the source as read, and the source is replaced
    // only by a successful run, with the bytes the three-name run wrote.
    if (backup_possible) {
        write_whole(files.backup, reinterpret_cast<const std::uint8_t*>(PREVIOUS_BACKUP),
                    sizeof PREVIOUS_BACKUP - 1);
    }
    const char* in_place[] = {files.source.c_str(), files.definition.c_str()};
    const int in_place_code = run_veska(2, in_place);
    reset_program_state();
    if (!only_run_files(files, true)) {
        return "in-place mode left a file behind";
    }
    const Bytes source = read_whole(files.source, &exists);
    if (!backup_possible) {
        if (in_place_code == 0) {
            return "an in-place run without a possible backup wrote the model";
        }
        if (!same_bytes(source, model, model_size)) {
            return "an in-place run without a possible backup changed the model";
        }
        return nullptr;
    }
    if (in_place_code != three_code) {
        return "in place and three-name mode ended differently";
    }
    const Bytes backup = read_whole(files.backup, &exists);
    const bool backup_unchanged =
        same_bytes(backup, reinterpret_cast<const std::uint8_t*>(PREVIOUS_BACKUP), sizeof PREVIOUS_BACKUP - 1);
    if (!backup_unchanged && !same_bytes(backup, model, model_size)) {
        return "the backup differs from the source as read";
    }
    if (in_place_code == 0) {
        if (backup_unchanged) {
            return "a successful in-place run made no backup";
        }
        if (source != target) {
            return "in place and three-name mode wrote different bytes";
        }
    } else if (!same_bytes(source, model, model_size)) {
        return "a failed in-place run changed the model";
    }
    return nullptr;
}

}  // namespace

void fuzz_quiet_console()
{
    if (console_stream == nullptr) {
        console_stream = std::fopen("/dev/null", "w");
    }
}

const char* fuzz_definition_input(const std::uint8_t* data, std::size_t size)
{
    reset_program_state();
    const char* problem = check_definition(data, size);
    reset_program_state();
    return problem;
}

const char* fuzz_model_input(const std::uint8_t* data, std::size_t size)
{
    reset_program_state();
    const char* problem = check_model(data, size);
    reset_program_state();
    remove_scratch();
    return problem;
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
    reset_program_state();
    const char* problem =
        check_run(definition, definition_size, definition + definition_size, rest - definition_size, name_variant);
    reset_program_state();
    remove_scratch();
    return problem;
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
