// The platform layer on POSIX systems.
#include "platform/platform.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora {

// The temporary file that a signal handler removes. The handler may only
// call async-signal-safe functions, so the name is kept in a fixed buffer
// that the handler reads as it stands; armed is set only while the name in
// it is complete.
struct TemporaryFileForSignalHandler {
    volatile std::sig_atomic_t armed;
    char path[4352];
};
TemporaryFileForSignalHandler temporary_file_for_signal_handler{};

namespace {

void remove_temporary_and_end(int signal_number)
{
    if (temporary_file_for_signal_handler.armed != 0) {
        ::unlink(temporary_file_for_signal_handler.path);
    }
    ::signal(signal_number, SIG_DFL);
    ::raise(signal_number);
}

}  // namespace

std::string directory_of(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string last_component(const std::string& path) { return path.substr(directory_of(path).size()); }

int file_info(const std::string& path, bool follow_links, FileInfo& info)
{
    info = FileInfo{};
    struct stat status {};
    const int result = follow_links ? ::stat(path.c_str(), &status) : ::lstat(path.c_str(), &status);
    if (result != 0) {
        if (errno == ENOENT) {
            info.kind = FileKind::missing;
            return 0;
        }
        return errno;
    }
    info.kind = S_ISREG(status.st_mode)   ? FileKind::regular
                : S_ISDIR(status.st_mode) ? FileKind::directory
                : S_ISLNK(status.st_mode) ? FileKind::link
                                          : FileKind::other;
    info.volume = static_cast<std::uint64_t>(status.st_dev);
    info.index = static_cast<std::uint64_t>(status.st_ino);
    info.mode = static_cast<std::uint32_t>(status.st_mode & 07777);
    info.owner = static_cast<std::uint32_t>(status.st_uid);
    info.group = static_cast<std::uint32_t>(status.st_gid);
    return 0;
}

bool same_file(const FileInfo& a, const FileInfo& b)
{
    return a.kind != FileKind::missing && b.kind != FileKind::missing && a.volume == b.volume && a.index == b.index;
}

std::string resolve_links(const std::string& path)
{
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat status {};
        if (::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return current;
        }
        std::string target(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : 255) + 1, '\0');
        const ssize_t length = ::readlink(current.c_str(), &target[0], target.size());
        if (length < 0 || static_cast<std::size_t>(length) >= target.size()) {
            return current;
        }
        target.resize(static_cast<std::size_t>(length));
        current = target[0] == '/' ? target : directory_of(current) + target;
    }
    return current;
}

std::FILE* open_file(const char* name, const char* mode) { return std::fopen(name, mode); }

int file_length(std::FILE* file, std::uint64_t& length)
{
    struct stat status {};
    if (::fstat(::fileno(file), &status) != 0) {
        return errno;
    }
    if (!S_ISREG(status.st_mode) && !S_ISBLK(status.st_mode)) {
        return ESPIPE;
    }
    if (S_ISREG(status.st_mode)) {
        length = static_cast<std::uint64_t>(status.st_size);
        return 0;
    }
    const off_t end = ::lseek(::fileno(file), 0, SEEK_END);
    if (end < 0 || ::lseek(::fileno(file), 0, SEEK_SET) != 0) {
        return errno;
    }
    length = static_cast<std::uint64_t>(end);
    return 0;
}

int create_temporary_file(const std::string& path, FileHandle& file)
{
    // The signals that remove the file wait until it is both created and
    // known to the handler.
    sigset_t interrupts;
    sigset_t previous;
    sigemptyset(&interrupts);
    for (const int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        sigaddset(&interrupts, signal_number);
    }
    ::sigprocmask(SIG_BLOCK, &interrupts, &previous);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    const int error = fd < 0 ? errno : 0;
    if (fd >= 0) {
        file.handle = fd;
        remove_on_interrupt(path.c_str());
    }
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
    return error;
}

int open_for_writing(const std::string& path, FileHandle& file)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    file.handle = fd;
    return 0;
}

int write_bytes(FileHandle file, const std::uint8_t* bytes, std::size_t size, std::size_t* written)
{
    std::size_t done = 0;
    int error = 0;
    while (done < size) {
        const ssize_t n = ::write(static_cast<int>(file.handle), bytes + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (written != nullptr) {
        *written = done;
    }
    return error;
}

int flush_to_disk(FileHandle file) { return ::fsync(static_cast<int>(file.handle)) != 0 ? errno : 0; }

int close_file(FileHandle file) { return ::close(static_cast<int>(file.handle)) != 0 ? errno : 0; }

int set_permissions(FileHandle file, std::uint32_t mode)
{
    return ::fchmod(static_cast<int>(file.handle), static_cast<mode_t>(mode)) != 0 ? errno : 0;
}

int set_owner(FileHandle file, std::uint32_t owner, std::uint32_t group)
{
    return ::fchown(static_cast<int>(file.handle), static_cast<uid_t>(owner), static_cast<gid_t>(group)) != 0 ? errno
                                                                                                             : 0;
}

int replace_file(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str()) != 0 ? errno : 0;
}

int remove_file(const std::string& path) { return ::unlink(path.c_str()) != 0 ? errno : 0; }

void flush_directory(const std::string& directory)
{
    const int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::uint32_t random_number()
{
    std::random_device random;
    return static_cast<std::uint32_t>(random());
}

std::vector<std::string> program_arguments(int argc, char** argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.emplace_back(argv[i]);
    }
    return arguments;
}

void prepare_standard_output() {}

void hold_own_window() {}

void install_interrupt_cleanup()
{
    struct sigaction action {};
    action.sa_handler = remove_temporary_and_end;
    sigemptyset(&action.sa_mask);
    for (const int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        sigaddset(&action.sa_mask, signal_number);
    }
    for (const int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        ::sigaction(signal_number, &action, nullptr);
    }
    ::signal(SIGXFSZ, SIG_IGN);
}

void remove_on_interrupt(const char* path)
{
    temporary_file_for_signal_handler.armed = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    if (path == nullptr || std::strlen(path) >= sizeof temporary_file_for_signal_handler.path) {
        return;
    }
    std::memcpy(temporary_file_for_signal_handler.path, path, std::strlen(path) + 1);
    // The name is complete before the handler may read it.
    std::atomic_signal_fence(std::memory_order_seq_cst);
    temporary_file_for_signal_handler.armed = 1;
}

}  // namespace lumora
