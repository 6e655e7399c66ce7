#include "inspect/given_file.h"

#include <algorithm>

#include "basics/text.h"

namespace lumora {

namespace {

bool is_text_byte(char byte)
{
    const auto c = static_cast<unsigned char>(byte);
    return (c >= 0x20 && c < 0x7F) || c >= 0x80 || c == '\t' || c == '\n' || c == '\r' || c == 0x1A;
}

}  // namespace

GivenFileKind kind_of_start(std::string_view start)
{
    if (start.size() < 2 || starts_with(start, "MZ")) {
        return GivenFileKind::model;
    }
    if (starts_with(start, "\xEF\xBB\xBF") || starts_with(start, "\xFF\xFE") || starts_with(start, "\xFE\xFF")) {
        return GivenFileKind::definition_text;
    }
    const std::string_view sample = start.substr(0, GIVEN_FILE_SAMPLE);
    return std::all_of(sample.begin(), sample.end(), is_text_byte) ? GivenFileKind::definition_text
                                                                   : GivenFileKind::model;
}

GivenFileKind kind_of_file(FileSystem& files, const std::string& name)
{
    // Only a regular file is looked into: the start of a pipe, once read,
    // would be missing for the report or the check.
    FileInfo info{};
    if (files.file_info(name, true, info) != 0 || info.kind != FileKind::regular) {
        return GivenFileKind::model;
    }
    FileBytes start;
    const ReadResult read = files.read_file(name, ReadLimits{GIVEN_FILE_SAMPLE, true, true}, start);
    return read.error != 0 ? GivenFileKind::model : kind_of_start(start.view());
}

}  // namespace lumora
