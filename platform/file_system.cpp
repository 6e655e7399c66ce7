// What the file systems of every system do alike: reading a whole file
// through the standard streams, and the life of a temporary file
// (TemporaryFile::create, which holds back the interrupts, is the
// system's own).
#include "platform/file_system.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <stdexcept>

namespace lumora {

ReadResult SystemFileSystem::read_file(const std::string& path, const ReadLimits& limits, std::string& contents)
{
    contents.clear();
    // A folder opens on some systems and not on others; everywhere it gives
    // the error that reading it gives where it opens.
    FileInfo info{};
    if (lumora::file_info(path, true, info) == 0 && info.kind == FileKind::directory) {
        return {EISDIR, ReadStep::reading};
    }
    errno = 0;
    std::FILE* stream = open_file(path.c_str(), "rb");
    if (stream == nullptr) {
        return {errno != 0 ? errno : ENOENT, ReadStep::opening};
    }
    std::uint64_t length = 0;
    const bool has_length = file_length(stream, length) == 0;
    int error = has_length || !limits.length_required ? 0 : ESPIPE;
    if (error == 0 && has_length && length > limits.most && !limits.start_only) {
        error = EFBIG;
    }
    try {
        if (has_length && error == 0) {
            contents.reserve(static_cast<std::size_t>(std::min(length, limits.most)));
        }
        char chunk[65536];
        while (error == 0) {
            // Once the limit is reached, one byte more tells whether the
            // file goes on.
            const std::uint64_t room = limits.most - contents.size();
            if (room == 0 && limits.start_only) {
                break;
            }
            const std::size_t wanted =
                room == 0 ? 1 : static_cast<std::size_t>(std::min<std::uint64_t>(sizeof chunk, room));
            errno = 0;
            const std::size_t got = std::fread(chunk, 1, wanted, stream);
            if (got == 0) {
                error = std::ferror(stream) != 0 ? (errno != 0 ? errno : EIO) : 0;
                break;
            }
            if (room == 0) {
                error = EFBIG;
                break;
            }
            contents.append(chunk, got);
        }
    } catch (const std::bad_alloc&) {
        contents = std::string();
        error = ENOMEM;
    } catch (const std::length_error&) {  // longer than a string can be on this system
        contents = std::string();
        error = ENOMEM;
    }
    std::fclose(stream);
    return {error, ReadStep::reading};
}

TemporaryFile::~TemporaryFile()
{
    if (open_) {
        files_.close(file_);
    }
    if (present_) {
        files_.remove(path_);
    }
    forget();
}

int TemporaryFile::close()
{
    open_ = false;
    return files_.close(file_);
}

int TemporaryFile::put_in_place(const std::string& destination)
{
    const int error = files_.replace(path_, destination);
    if (error == 0) {
        present_ = false;
        forget();
    }
    return error;
}

void TemporaryFile::forget() { remove_on_interrupt(nullptr); }

}  // namespace lumora
