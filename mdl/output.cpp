#include "mdl/output.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct OutputMessages {
    char opening[40];
    char writing[40];
    char closing[40];
};

constexpr OutputMessages backup_messages = {
    "Error opening backup file %s: %s\n",
    "Error writing backup file %s: %s\n",
    "Error closing backup file %s: %s\n",
};

constexpr OutputMessages target_messages = {
    "Error opening target MDL file %s: %s\n",
    "Error writing target MDL file %s: %s\n",
    "Error closing target MDL file %s: %s\n",
};

bool is_separator(char c) { return c == '/' || c == '\\'; }

// One write of the image to a destination.
struct Writing {
    const Console& console;
    const OutputFault& fault;
    const OutputMessages& messages;
};

// The injected fault for this stage of writing to name, if any.
bool fault_at(const Writing& w, OutputStage stage, const std::string& name)
{
    return w.fault.stage == stage && (w.fault.only_name == nullptr || name == w.fault.only_name);
}

// Prints the message of a failed step and gives its error number, never 0.
int fail(const Console& console, const char* format, const std::string& name, int error)
{
    if (error == 0) {
        error = EIO;
    }
    console_print(console, format, name.c_str(), std::strerror(error));
    return error;
}

int fail(const Writing& w, const char* format, const std::string& name, int error)
{
    return fail(w.console, format, name, error);
}

// Writes all of buffer to fd, going on after partial writes. Returns 0 or the
// error number.
int write_all(const Writing& w, int fd, const std::uint8_t* buffer, std::uint32_t size, const std::string& name)
{
    std::uint32_t done = 0;
    if (fault_at(w, OUTPUT_FAULT_WRITE, name)) {
        // Let half of the image through before the fault, as a full disk does.
        const std::uint32_t half = size / 2;
        while (done < half) {
            const ssize_t n = ::write(fd, buffer + done, half - done);
            if (n <= 0) {
                break;
            }
            done += static_cast<std::uint32_t>(n);
        }
        return w.fault.error;
    }
    while (done < size) {
        const ssize_t n = ::write(fd, buffer + done, size - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (n == 0) {
            return EIO;
        }
        done += static_cast<std::uint32_t>(n);
    }
    return 0;
}

// The directory part of path, with its trailing separator ("" for none).
std::string directory_of(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file that writing to path would reach: symbolic links are followed, so
// that a link to a model keeps pointing at the replaced model.
std::string follow_links(const std::string& path)
{
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return current;
        }
        std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        const ssize_t length = ::readlink(current.c_str(), &target[0], target.size());
        if (length < 0 || static_cast<std::size_t>(length) >= target.size()) {
            return current;
        }
        target.resize(static_cast<std::size_t>(length));
        current = target[0] == '/' ? target : directory_of(current) + target;
    }
    return current;
}

// Creates a new file of a name not yet taken beside the destination (in
// dir): the name's last characters are chosen at random, and taken names
// are tried again. A file for a destination that does not exist yet gets
// read and write for all, less the process's umask, which the system
// applies; one that replaces a file gets its mode afterwards.
int create_temporary(const std::string& dir, std::string& temporary)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = dir + ".veska-";
        for (int i = 0; i < 6; ++i) {
            temporary += letters[random() % (sizeof letters - 1)];
        }
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// Writes straight to a destination that is not a regular file (a device, a
// pipe), where nothing could be renamed over it.
int write_in_place(const Writing& w, const std::string& name, const std::uint8_t* buffer, std::uint32_t size)
{
    const OutputMessages& messages = w.messages;
    if (fault_at(w, OUTPUT_FAULT_OPEN, name)) {
        return fail(w, messages.opening, name, w.fault.error);
    }
    const int fd = ::open(name.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) {
        return fail(w, messages.opening, name, errno);
    }
    const int write_error = write_all(w, fd, buffer, size, name);
    if (write_error != 0) {
        ::close(fd);
        return fail(w, messages.writing, name, write_error);
    }
    if (::close(fd) != 0 || fault_at(w, OUTPUT_FAULT_CLOSE, name)) {
        return fail(w, messages.closing, name, fault_at(w, OUTPUT_FAULT_CLOSE, name) ? w.fault.error : errno);
    }
    return 0;
}

// Writes the image to a new file beside the destination and renames it over
// the destination once it is complete. On any failure the new file is
// removed and the destination is left as it was; messages name the
// destination as the user gave it.
int write_image(const Writing& w, const std::string& name, const std::uint8_t* buffer, std::uint32_t size)
{
    const OutputMessages& messages = w.messages;
    errno = 0;
    const std::string destination = follow_links(name);
    struct stat existing {};
    const bool exists = ::stat(destination.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) {
        // A name the system cannot take (too long, a file where a folder
        // must be, a loop of links) fails here, as opening it would, rather
        // than after the whole image went to a temporary file.
        return fail(w, messages.opening, name, errno);
    }
    if (exists && !S_ISREG(existing.st_mode) && !S_ISDIR(existing.st_mode)) {
        return write_in_place(w, name, buffer, size);
    }
    if (exists && S_ISDIR(existing.st_mode)) {
        return fail(w, messages.opening, name, EISDIR);
    }
    if (fault_at(w, OUTPUT_FAULT_OPEN, name)) {
        return fail(w, messages.opening, name, w.fault.error);
    }

    // A short fixed name, so that a long destination name cannot make it too long.
    std::string temporary;
    const int fd = create_temporary(directory_of(destination), temporary);
    if (fd < 0) {
        return fail(w, messages.opening, name, errno);
    }
    auto abandon = [&](const char* format, int error) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return fail(w, format, name, error);
    };

    if (exists && ::fchmod(fd, existing.st_mode & 07777) != 0) {
        return abandon(messages.opening, errno);
    }
    const int write_error = write_all(w, fd, buffer, size, name);
    if (write_error != 0) {
        return abandon(messages.writing, write_error);
    }
    if (fault_at(w, OUTPUT_FAULT_SYNC, name)) {
        return abandon(messages.closing, w.fault.error);
    }
    if (::fsync(fd) != 0) {
        return abandon(messages.closing, errno);
    }
    if (fault_at(w, OUTPUT_FAULT_CLOSE, name)) {
        return abandon(messages.closing, w.fault.error);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return fail(w, messages.closing, name, error);
    }
    const int rename_error = fault_at(w, OUTPUT_FAULT_RENAME, name) ? w.fault.error
                             : ::rename(temporary.c_str(), destination.c_str()) != 0 ? errno
                                                                                        : 0;
    if (rename_error != 0) {
        ::unlink(temporary.c_str());
        return fail(w, messages.closing, name, rename_error);
    }
    // Make the rename itself durable; the file is complete either way.
    const std::string directory = directory_of(destination);
    const int dir_fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir_fd >= 0) {
        ::fsync(dir_fd);
        ::close(dir_fd);
    }
    return 0;
}

}  // namespace

std::string backup_name(const char* mdl_name)
{
    const std::string name(mdl_name);
    // An optional drive letter with its colon comes first; the last path
    // component begins after the last separator.
    const std::size_t drive = name.size() >= 2 && name[1] == ':' ? 2 : 0;
    std::size_t component = drive;
    for (std::size_t i = drive; i < name.size(); ++i) {
        if (is_separator(name[i])) {
            component = i + 1;
        }
    }
    const std::size_t dot = name.find_last_of('.');
    const std::size_t stem_end = dot != std::string::npos && dot >= component ? dot : name.size();
    return name.substr(0, stem_end) + ".MD$";
}

int write_backup(const Console& console, const char* mdl_name, const std::uint8_t* buffer, std::uint32_t size,
                 const OutputFault& fault)
{
    const std::string name = backup_name(mdl_name);
    // A backup name that leads to the model itself (a model named plane.MD$,
    // or a backup name linked to the model) would hold the result instead of
    // the model once the result replaces the model: the only copy of the
    // model would be lost. No backup is made, and the run stops.
    struct stat model_info {};
    struct stat backup_info {};
    if (::stat(mdl_name, &model_info) == 0 && ::stat(name.c_str(), &backup_info) == 0 &&
        model_info.st_dev == backup_info.st_dev && model_info.st_ino == backup_info.st_ino) {
        return fail(console, backup_messages.opening, name, EEXIST);
    }
    const int result = write_image(Writing{console, fault, backup_messages}, name, buffer, size);
    if (result == 0) {
        console_print(console, "Backup MDL file %s created.\n", name.c_str());
    }
    return result;
}

int write_target(const Console& console, const char* target_name, const std::uint8_t* buffer, std::uint32_t size,
                 const OutputFault& fault)
{
    return write_image(Writing{console, fault, target_messages}, target_name, buffer, size);
}
