// The file operations that the readers and writers use: each program's
// main creates the system's own (SystemFileSystem) and hands it down; a
// test may hand down a class of its own, derived from it, that makes a
// chosen operation fail. Errors come back as the standard error numbers on
// every system, 0 meaning success.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace lumora {

// What a file allows: its permission bits and, where the file has one, its
// access control list beyond them, in the system's own form. With such a
// list the group bits of mode are the list's mask.
struct Permissions {
    std::uint32_t mode;
    std::vector<std::uint8_t> access_control;  // empty: the bits alone
};

// Where a whole read failed.
enum class ReadStep { opening, reading };

// The end of a whole read.
struct ReadResult {
    int error;      // 0 when the file was read whole, else the error number
    ReadStep step;  // where it failed
};

// The bytes of a file read whole: an array the read fills directly, never
// filled beforehand, so that a large file costs its length once.
class FileBytes {
public:
    const char* data() const { return bytes_.get(); }
    char* data() { return bytes_.get(); }
    std::size_t size() const { return size_; }
    std::string_view view() const { return std::string_view(bytes_.get(), size_); }

    // Room for room bytes in all, those held kept; throws std::bad_alloc
    // when there is no memory for it.
    void make_room(std::size_t room);
    // Counts count more bytes written behind those held, within the room.
    void grow(std::size_t count) { size_ += count; }
    // Keeps the first count bytes.
    void cut(std::size_t count) { size_ = count < size_ ? count : size_; }
    // The free room behind the bytes held.
    std::size_t room_left() const { return room_ - size_; }
    void clear() { *this = FileBytes(); }

private:
    std::unique_ptr<char[]> bytes_;
    std::size_t size_ = 0;
    std::size_t room_ = 0;
};

// What a whole read takes.
struct ReadLimits {
    std::uint64_t most;    // the most bytes taken
    bool length_required;  // a file without a length (a pipe, a terminal) gives ESPIPE, unread
    bool start_only;       // a longer file gives its first `most` bytes, else EFBIG

    // Whether a file of this length is refused whole (EFBIG) rather than read.
    bool refuses(std::uint64_t length) const { return length > most && !start_only; }
};

// The operations of the system the program runs on (posix.cpp,
// windows.cpp, file_system.cpp), each of which a test may override.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // What stands at path: a symbolic link itself, or what it leads to when
    // follow_links is set. 0 with info filled (kind FileKind::missing when
    // nothing is there), or the error number when the name cannot be looked up.
    virtual int file_info(const std::string& path, bool follow_links, FileInfo& info);

    // The name that writing to path reaches, every symbolic link on the way
    // followed. A link that the system's protection of links in shared
    // folders would not follow gives EACCES; too many links give ELOOP.
    // Names that cannot be looked up are given back as far as they were
    // followed, for the following steps to report.
    virtual int follow_links(const std::string& path, std::string& destination);

    // The access control list of the file at path (empty where it has none
    // or the system knows none).
    virtual int access_control(const std::string& path, std::vector<std::uint8_t>& list);

    // What a new file created in folder would be given: the usual
    // permission bits less what the process withholds, or what the folder's
    // inherited list gives.
    virtual int new_file_permissions(const std::string& folder, Permissions& permissions);

    // Reads the whole file at path into contents, as far as it got when
    // the read fails (nothing when memory ran out: ENOMEM). A folder gives
    // EISDIR at the reading step on every system, whether or not the system
    // opens it. A file longer than limits.most gives EFBIG (unless only its
    // start is asked for): unread where its length tells so, else after no
    // more than one byte beyond the limit, so that the memory a read takes
    // is bounded by the limit also where the file never ends (a device, a
    // growing file).
    [[nodiscard]] virtual ReadResult read_file(const std::string& path, const ReadLimits& limits,
                                               FileBytes& contents);

    // Creates path, which must not exist yet, for writing, readable and
    // writable by its owner only. EEXIST when something stands there. The
    // writers create their new files through TemporaryFile, which has an
    // interrupt remove them.
    virtual int create_temporary(const std::string& path, FileHandle& file);

    // Opens an existing file that is not a regular file (a device, a pipe)
    // for writing; a pipe that nobody reads gives ENXIO at once.
    virtual int open_for_writing(const std::string& path, FileHandle& file);

    // Whether this process may open the existing regular file at path for
    // writing, found by opening it so and closing it again: it is neither
    // truncated nor written. 0 when it may, else the error of the opening:
    // EACCES for a file it may not write (the read-only attribute on
    // Windows; on POSIX the permission bits as they apply to the process,
    // which lets the administrator write) or one that another program holds
    // open without sharing writing.
    virtual int check_writable(const std::string& path);

    // Writes all of bytes, going on after partial writes.
    virtual int write(FileHandle file, const std::uint8_t* bytes, std::size_t size);

    // Flushes what was written to the disk.
    virtual int flush_to_disk(FileHandle file);

    virtual int close(FileHandle file);

    // Give an open file an owner, a group, an access control list (an
    // empty one: none beyond the permission bits, taking away what a
    // folder's inherited list gave it) and permission bits. Systems without
    // such things succeed without doing anything.
    virtual int set_owner(FileHandle file, std::uint32_t owner);
    virtual int set_group(FileHandle file, std::uint32_t group);
    virtual int set_access_control(FileHandle file, const std::vector<std::uint8_t>& list);
    virtual int set_permissions(FileHandle file, std::uint32_t mode);

    // Puts the file from in place of to, replacing whatever stands at to,
    // in one step.
    virtual int replace(const std::string& from, const std::string& to);

    virtual int remove(const std::string& path);

    // Makes a replacement in directory durable where the system needs that.
    virtual void flush_directory(const std::string& directory);
};

// What the programs create: the system's file system as it is.
using SystemFileSystem = FileSystem;

// A new file being written, from its creation until it is put in place or
// given up. From the moment it exists until it is put in place or this
// object ends, an interrupt of the process removes it (see
// install_interrupt_cleanup); when this object ends before the file was put
// in place, the file is closed and removed.
class TemporaryFile {
public:
    explicit TemporaryFile(FileSystem& files) : files_(files) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile();

    // Creates the file at path (see FileSystem::create_temporary), the
    // interrupts held back until the file is both created and known to
    // their handler. Only one file per object.
    [[nodiscard]] int create(const std::string& path);

    FileHandle file() const { return file_; }

    // Closes the file; it stays until it is put in place or this object ends.
    [[nodiscard]] int close();

    // Puts the closed file in place of destination (see
    // FileSystem::replace); from then on it is no longer removed.
    [[nodiscard]] int put_in_place(const std::string& destination);

private:
    FileSystem& files_;
    std::string path_;
    FileHandle file_{};
    bool open_ = false;
    bool present_ = false;
};

}  // namespace lumora
