// make-sample-mdl OUTPUT [options]: writes a sample MDL file.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "tools/mdl_builder/mdl_builder.h"

using namespace lumora;

namespace {

const char USAGE[] =
    "usage: make-sample-mdl OUTPUT [options]\n"
    "Writes a sample MDL file that the landing-light tool accepts.\n"
    "  --free-room N   zero bytes at the end of the model-code area (even, default 49152)\n"
    "  --size N        file length in bytes: shorter cuts the file, longer adds data\n"
    "                  behind the last section (default 71680)\n"
    "  --end-word N    the model code's last word instead of the end code 0x0022\n"
    "  --processed     mark the model as already given landing lights\n"
    "Numbers may be decimal or hexadecimal with 0x.\n";

// A number in 0 .. largest, decimal or 0x-hexadecimal; false if it is not.
bool parse_number(const char* text, unsigned long largest, unsigned long& value)
{
    if (text == nullptr || *text == '\0' || *text == '-' || *text == '+') {
        return false;
    }
    const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    errno = 0;
    char* end = nullptr;
    value = std::strtoul(text, &end, hex ? 16 : 10);
    return errno == 0 && *end == '\0' && end != text && value <= largest;
}

int usage_error(const char* what, const char* argument)
{
    std::fprintf(stderr, "make-sample-mdl: %s: %s\n%s", what, argument, USAGE);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fputs(USAGE, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    const char* output = argv[1];
    mdl_builder::SampleOptions options;
    for (int i = 2; i < argc; ++i) {
        const char* option = argv[i];
        unsigned long value = 0;
        if (std::strcmp(option, "--processed") == 0) {
            options.word_42 = mdl_builder::MARK_38;
            continue;
        }
        const bool takes_value = std::strcmp(option, "--free-room") == 0 || std::strcmp(option, "--size") == 0 ||
                                 std::strcmp(option, "--end-word") == 0;
        if (!takes_value) {
            return usage_error("unknown option", option);
        }
        if (i + 1 >= argc) {
            return usage_error("missing value after", option);
        }
        const char* text = argv[++i];
        if (std::strcmp(option, "--free-room") == 0) {
            if (!parse_number(text, mdl_builder::LARGEST_FREE_ROOM, value) || value % 2 != 0) {
                return usage_error("free room must be an even number up to 65488", text);
            }
            options.free_room = static_cast<std::uint32_t>(value);
        } else if (std::strcmp(option, "--size") == 0) {
            if (!parse_number(text, 0xFFFFFFFFul, value)) {
                return usage_error("bad file size", text);
            }
            options.file_size = static_cast<std::uint32_t>(value);
        } else {
            if (!parse_number(text, 0xFFFF, value) || value == 0) {
                return usage_error("end word must be 1 to 0xFFFF", text);
            }
            options.end_word = static_cast<std::uint16_t>(value);
        }
    }
    try {
        mdl_builder::write_bytes_to_file(output, mdl_builder::build_sample_mdl(options));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make-sample-mdl: %s\n", error.what());
        return 1;
    }
    return 0;
}
