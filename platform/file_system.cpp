// What the platform layer does alike on every system: reading a whole file
// through the standard streams, and the life of a temporary file
// (TemporaryFile::create, which holds back the interrupts, is the system's
// own).
#include "platform/file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>

namespace lumora {

void FileBytes::make_room(std::size_t room)
{
    if (room <= room_ && bytes_) {
        return;
    }
    std::unique_ptr<char[]> bytes(new char[room > 0 ? room : 1]);
    if (size_ > 0) {
        std::memcpy(bytes.get(), bytes_.get(), size_);
    }
    bytes_ = std::move(bytes);
    room_ = room;
}

ReadResult FileSystem::read_file(const std::string& path, const ReadLimits& limits, FileBytes& contents)
{
    contents.clear();
    // A folder opens on some systems and not on others; everywhere it gives
    // the error that reading it gives where it opens.
    FileInfo info{};
    if (file_info(path, true, info) == 0 && info.kind == FileKind::directory) {
        return {EISDIR, ReadStep::reading};
    }
    errno = 0;
    std::FILE* stream = open_file(path.c_str(), "rb");
    if (stream == nullptr) {
        return {errno != 0 ? errno : ENOENT, ReadStep::opening};
    }
    // The bytes go straight into contents, in reads as large as it has
    // room for: no buffer of the stream's own in between.
    std::setvbuf(stream, nullptr, _IONBF, 0);
    std::uint64_t length = 0;
    const bool has_length = file_length(stream, length) == 0;
    int error = has_length || !limits.length_required ? 0 : ESPIPE;
    if (error == 0 && has_length && limits.refuses(length)) {
        error = EFBIG;
    }
    // Room for at most the limit; more than this system can hold is no
    // memory.
    const auto room_for = [&limits](std::uint64_t wanted) {
        const std::uint64_t room = std::min(wanted, limits.most);
        if (room > std::numeric_limits<std::size_t>::max()) {
            throw std::bad_alloc();
        }
        return static_cast<std::size_t>(room);
    };
    try {
        // The file's length where it is known, else room that doubles as
        // the bytes come.
        if (error == 0) {
            contents.make_room(room_for(has_length ? length : 65536));
        }
        while (error == 0) {
            if (contents.room_left() == 0) {
                if (contents.size() == limits.most && limits.start_only) {
                    break;
                }
                // One byte more tells whether the file goes on: beyond the
                // limit it may not, within it the room grows.
                char next = 0;
                errno = 0;
                if (std::fread(&next, 1, 1, stream) == 0) {
                    error = std::ferror(stream) != 0 ? (errno != 0 ? errno : EIO) : 0;
                    break;
                }
                if (contents.size() == limits.most) {
                    error = EFBIG;
                    break;
                }
                contents.make_room(room_for(std::max<std::uint64_t>(2 * std::uint64_t{contents.size()}, 65536)));
                contents.data()[contents.size()] = next;
                contents.grow(1);
            }
            errno = 0;
            const std::size_t got = std::fread(contents.data() + contents.size(), 1, contents.room_left(), stream);
            contents.grow(got);
            if (got == 0) {
                error = std::ferror(stream) != 0 ? (errno != 0 ? errno : EIO) : 0;
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        contents.clear();
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
    remove_on_interrupt(nullptr);
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
        remove_on_interrupt(nullptr);
    }
    return error;
}

}  // namespace lumora
