// The platform layer on POSIX systems.
#include "platform/platform.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#if !defined(__EMSCRIPTEN__)
#include <sys/xattr.h>
#endif
#include <unistd.h>

#include "platform/file_system.h"

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

// Hands use each signal whose default action ends the process, but
// SIGKILL, which cannot be caught, and SIGPIPE and SIGXFSZ, which the
// programs ignore (a closed pipe or a file-size limit makes the write fail
// with an error).
template <typename Use>
void for_each_ending_signal(Use&& use)
{
    for (const int signal_number : {SIGHUP, SIGINT, SIGQUIT, SIGILL, SIGTRAP, SIGABRT, SIGBUS, SIGFPE, SIGUSR1,
                                    SIGSEGV, SIGUSR2, SIGALRM, SIGTERM, SIGXCPU, SIGVTALRM, SIGPROF, SIGSYS}) {
        use(signal_number);
    }
#if defined(SIGSTKFLT)
    use(SIGSTKFLT);
#endif
#if defined(SIGIO)
    use(SIGIO);
#endif
#if defined(SIGPWR)
    use(SIGPWR);
#endif
#if defined(SIGRTMIN) && defined(SIGRTMAX) && !defined(__EMSCRIPTEN__)
    const int last_real_time = SIGRTMAX;  // a call on every use
    for (int signal_number = SIGRTMIN; signal_number <= last_real_time; ++signal_number) {
        use(signal_number);
    }
#endif
}

}  // namespace

std::string directory_of(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string name_as_resolved(const std::string& path) { return path; }

int FileSystem::file_info(const std::string& path, bool follow_links, FileInfo& info)
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

// ---- The file system.

namespace {

// The entries of an access control list in its extended attribute: a
// header of one 32-bit version word, then per entry a 16-bit kind, 16-bit
// permission bits and a 32-bit user or group number, all little-endian.
constexpr char ACCESS_LIST[] = "system.posix_acl_access";
constexpr char INHERITED_LIST[] = "system.posix_acl_default";
constexpr std::size_t LIST_HEADER = 4;
constexpr std::size_t LIST_ENTRY = 8;
constexpr unsigned OWNER_ENTRY = 0x01;
constexpr unsigned NAMED_USER_ENTRY = 0x02;
constexpr unsigned GROUP_ENTRY = 0x04;
constexpr unsigned NAMED_GROUP_ENTRY = 0x08;
constexpr unsigned MASK_ENTRY = 0x10;
constexpr unsigned OTHER_ENTRY = 0x20;

unsigned entry_kind(const std::vector<std::uint8_t>& list, std::size_t at)
{
    return static_cast<unsigned>(list[at]) | static_cast<unsigned>(list[at + 1]) << 8;
}

unsigned entry_bits(const std::vector<std::uint8_t>& list, std::size_t at) { return list[at + 2] & 7u; }

void set_entry_bits(std::vector<std::uint8_t>& list, std::size_t at, unsigned bits)
{
    list[at + 2] = static_cast<std::uint8_t>(bits);
    list[at + 3] = 0;
}

// The extended attributes of a file, where the system has them: the file
// systems of the WebAssembly builds have none.
ssize_t get_attribute(const std::string& path, const char* name, void* value, std::size_t size)
{
#if defined(__EMSCRIPTEN__)
    (void)path, (void)name, (void)value, (void)size;
    errno = ENOTSUP;
    return -1;
#else
    return ::getxattr(path.c_str(), name, value, size);
#endif
}

// Sets the extended attribute name of the open file; an empty value
// removes it, where it is there and the file system knows it.
int set_attribute(int fd, const char* name, const void* value, std::size_t size)
{
#if defined(__EMSCRIPTEN__)
    (void)fd, (void)name, (void)value;
    errno = ENOTSUP;
    return size == 0 ? 0 : -1;
#else
    if (size == 0) {
        return ::fremovexattr(fd, name) == 0 || errno == ENODATA || errno == ENOTSUP ? 0 : -1;
    }
    return ::fsetxattr(fd, name, value, size, 0);
#endif
}

// Reads the extended attribute name of path whole: 0 with the bytes, 0
// with none where the file has no such attribute or its file system knows
// none, or the error number.
int read_attribute(const std::string& path, const char* name, std::vector<std::uint8_t>& bytes)
{
    bytes.clear();
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t size = get_attribute(path, name, nullptr, 0);
        if (size < 0) {
            return errno == ENODATA || errno == ENOTSUP ? 0 : errno;
        }
        bytes.resize(static_cast<std::size_t>(size));
        const ssize_t got = get_attribute(path, name, bytes.data(), bytes.size());
        if (got >= 0) {
            bytes.resize(static_cast<std::size_t>(got));
            return 0;
        }
        if (errno != ERANGE) {  // ERANGE: it grew in between
            bytes.clear();
            return errno == ENODATA || errno == ENOTSUP ? 0 : errno;
        }
    }
    bytes.clear();
    return ERANGE;
}

bool well_formed(const std::vector<std::uint8_t>& list)
{
    return list.size() >= LIST_HEADER && (list.size() - LIST_HEADER) % LIST_ENTRY == 0;
}

// The list that a new file gets from its folder's inherited list when it is
// created for reading and writing by all, as the kernel makes it: the
// owner's, the mask's (or without a mask the group's) and the others'
// entries keep at most read and write. mode receives the bits that follow
// from it. Empty when the list gives nothing beyond the bits.
std::vector<std::uint8_t> list_of_new_file(std::vector<std::uint8_t> list, std::uint32_t& mode)
{
    std::size_t group_at = 0;
    std::size_t mask_at = 0;
    bool extended = false;
    std::uint32_t owner = 0;
    std::uint32_t other = 0;
    for (std::size_t at = LIST_HEADER; at < list.size(); at += LIST_ENTRY) {
        const unsigned kind = entry_kind(list, at);
        if (kind == OWNER_ENTRY || kind == OTHER_ENTRY) {
            set_entry_bits(list, at, entry_bits(list, at) & 6u);
            (kind == OWNER_ENTRY ? owner : other) = entry_bits(list, at);
        } else if (kind == GROUP_ENTRY) {
            group_at = at;
        } else if (kind == MASK_ENTRY) {
            mask_at = at;
            extended = true;
        } else if (kind == NAMED_USER_ENTRY || kind == NAMED_GROUP_ENTRY) {
            extended = true;
        }
    }
    const std::size_t group_class = mask_at != 0 ? mask_at : group_at;
    std::uint32_t group = 0;
    if (group_class != 0) {
        set_entry_bits(list, group_class, entry_bits(list, group_class) & 6u);
        group = entry_bits(list, group_class);
    }
    mode = owner << 6 | group << 3 | other;
    return extended ? list : std::vector<std::uint8_t>{};
}

int error_of(int result) { return result != 0 ? errno : 0; }

// True when the kernel, protecting links in shared folders, follows the
// link with the given status that stands in folder: anywhere but in a
// sticky folder that all may write to, and there only a link of the
// process's own or of the folder's owner.
bool may_follow(const struct stat& link, const std::string& folder)
{
    struct stat status {};
    if (::stat(folder.empty() ? "." : folder.c_str(), &status) != 0) {
        return true;  // what cannot be looked at is left to the steps that follow
    }
    const bool shared = (status.st_mode & S_ISVTX) != 0 && (status.st_mode & S_IWOTH) != 0;
    return !shared || link.st_uid == ::geteuid() || link.st_uid == status.st_uid;
}

// The components of path after the first "start" of them, joined again.
std::string rest_of(const std::vector<std::string_view>& components, std::size_t start, bool trailing_separator)
{
    std::string rest;
    for (std::size_t i = start; i < components.size(); ++i) {
        rest += components[i];
        if (i + 1 < components.size() || trailing_separator) {
            rest += '/';
        }
    }
    return rest;
}

// Follows path component by component as the kernel does, each link by
// the rule of may_follow; links counts the links followed so far.
int walk(const std::string& path, std::string& destination, int& links)
{
    const std::string_view whole(path);
    std::vector<std::string_view> components;
    components.reserve(static_cast<std::size_t>(std::count(path.begin(), path.end(), '/')) + 1);
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        if (slash > start) {
            components.push_back(whole.substr(start, slash - start));
        }
        start = slash + 1;
    }
    const bool trailing_separator = !path.empty() && path.back() == '/' && !components.empty();
    // The path walked so far, each component added in place: up to
    // done_size it is the folder that holds the component looked at.
    std::string here = !path.empty() && path[0] == '/' ? "/" : "";
    here.reserve(path.size() + 1);
    for (std::size_t i = 0; i < components.size(); ++i) {
        const bool last = i + 1 == components.size() && !trailing_separator;
        const std::size_t done_size = here.size();
        here += components[i];
        struct stat status {};
        if (::lstat(here.c_str(), &status) != 0) {
            // Nothing to follow here: the rest stays as given, for the
            // following steps to report.
            destination = here + (last ? "" : "/" + rest_of(components, i + 1, trailing_separator));
            return 0;
        }
        if (!S_ISLNK(status.st_mode)) {
            if (!last) {
                here += '/';
            }
            continue;
        }
        if (++links > 40) {
            return ELOOP;
        }
        const std::string done = here.substr(0, done_size);
        if (!may_follow(status, done)) {
            return EACCES;
        }
        std::string target(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : 255) + 1, '\0');
        const ssize_t length = ::readlink(here.c_str(), &target[0], target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) {
            destination = here + (last ? "" : "/" + rest_of(components, i + 1, trailing_separator));
            return 0;
        }
        target.resize(static_cast<std::size_t>(length));
        std::string reached;
        const int error = walk(target[0] == '/' ? target : done + target, reached, links);
        if (error != 0) {
            return error;
        }
        if (last) {
            destination = reached;
            return 0;
        }
        here = reached.empty() || reached.back() == '/' ? reached : reached + "/";
    }
    destination = components.empty() ? path : std::move(here);
    return 0;
}

}  // namespace

int FileSystem::follow_links(const std::string& path, std::string& destination)
{
    int links = 0;
    destination = path;
    return walk(path, destination, links);
}

int FileSystem::access_control(const std::string& path, std::vector<std::uint8_t>& list)
{
    const int error = read_attribute(path, ACCESS_LIST, list);
    if (error == 0 && !list.empty() && !well_formed(list)) {
        list.clear();
        return EINVAL;
    }
    return error;
}

int FileSystem::new_file_permissions(const std::string& folder, Permissions& permissions)
{
    std::vector<std::uint8_t> inherited;
    const int error = read_attribute(folder.empty() ? "." : folder, INHERITED_LIST, inherited);
    if (error != 0) {
        return error;
    }
    if (!inherited.empty() && well_formed(inherited)) {
        // With an inherited list the kernel leaves the process's mask of
        // permission bits aside.
        permissions.access_control = list_of_new_file(inherited, permissions.mode);
        return 0;
    }
    // The mask can only be read by setting it; it is set back at once.
    const mode_t withheld = ::umask(077);
    ::umask(withheld);
    permissions.mode = 0666u & ~static_cast<std::uint32_t>(withheld);
    permissions.access_control.clear();
    return 0;
}

int FileSystem::create_temporary(const std::string& path, FileHandle& file)
{
    // Nobody else may open it while it is being written; it gets the
    // permissions it is meant to have only once it is complete.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return errno;
    }
    file.handle = fd;
    return 0;
}

int TemporaryFile::create(const std::string& path)
{
    // The signals that remove the file wait until it is both created and
    // known to the handler. All that can be held back are held back: the
    // same for those, a delivery a moment later for the others, and a full
    // set is made at once where the set of ending signals is made a signal
    // at a time.
    sigset_t held;
    sigfillset(&held);
    sigset_t previous;
    ::sigprocmask(SIG_BLOCK, &held, &previous);
    const int error = files_.create_temporary(path, file_);
    if (error == 0) {
        path_ = path;
        open_ = present_ = true;
        remove_on_interrupt(path.c_str());
    }
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
    return error;
}

int FileSystem::open_for_writing(const std::string& path, FileHandle& file)
{
    // Opened without waiting, so that a pipe that nobody reads fails at once
    // (ENXIO) rather than holding the run; then written as usual.
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return errno;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    file.handle = fd;
    return 0;
}

int FileSystem::check_writable(const std::string& path)
{
    // Not blocking, so that a pipe put in the file's place meanwhile does
    // not hold the process.
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    ::close(fd);
    return 0;
}

bool file_in_use(const std::string&) { return false; }

int FileSystem::write(FileHandle file, const std::uint8_t* bytes, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(static_cast<int>(file.handle), bytes + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n < 0 ? errno : EIO;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int FileSystem::flush_to_disk(FileHandle file) { return error_of(::fsync(static_cast<int>(file.handle))); }

int FileSystem::close(FileHandle file) { return error_of(::close(static_cast<int>(file.handle))); }

int FileSystem::set_owner(FileHandle file, std::uint32_t owner)
{
    return error_of(::fchown(static_cast<int>(file.handle), static_cast<uid_t>(owner), static_cast<gid_t>(-1)));
}

int FileSystem::set_group(FileHandle file, std::uint32_t group)
{
    return error_of(::fchown(static_cast<int>(file.handle), static_cast<uid_t>(-1), static_cast<gid_t>(group)));
}

int FileSystem::set_access_control(FileHandle file, const std::vector<std::uint8_t>& list)
{
    return error_of(set_attribute(static_cast<int>(file.handle), ACCESS_LIST, list.data(), list.size()));
}

int FileSystem::set_permissions(FileHandle file, std::uint32_t mode)
{
    return error_of(::fchmod(static_cast<int>(file.handle), static_cast<mode_t>(mode)));
}

int FileSystem::replace(const std::string& from, const std::string& to)
{
    return error_of(::rename(from.c_str(), to.c_str()));
}

int FileSystem::remove(const std::string& path) { return error_of(::unlink(path.c_str())); }

void FileSystem::flush_directory(const std::string& directory)
{
    const int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// ---- The process.

std::uint32_t effective_user() { return static_cast<std::uint32_t>(::geteuid()); }

std::vector<std::string> program_arguments(int argc, char** argv)
{
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

void prepare_standard_output() {}

bool owns_console() { return false; }

unsigned console_width() { return 0; }

void hold_own_window(const std::string&) {}

void install_interrupt_cleanup()
{
    // A closed pipe or a file-size limit makes the write fail with an
    // error, which is reported as any other.
    ::signal(SIGPIPE, SIG_IGN);
    ::signal(SIGXFSZ, SIG_IGN);
    sigset_t ending;
    sigemptyset(&ending);
    for_each_ending_signal([&ending](int signal_number) { sigaddset(&ending, signal_number); });
    struct sigaction action {};
    action.sa_handler = remove_temporary_and_end;
    action.sa_mask = ending;
    // A signal that the process was started ignoring (nohup, a background
    // job) stays ignored, and one that already has a handler of its own (a
    // sanitizer's) keeps it: each is set back at once. Meanwhile the signals
    // are held back; setting one back to be ignored discards it.
    sigset_t previous;
    ::sigprocmask(SIG_BLOCK, &ending, &previous);
    for_each_ending_signal([&action](int signal_number) {
        struct sigaction before;  // filled by a sigaction that succeeds, read only then
        if (::sigaction(signal_number, &action, &before) == 0 &&
            ((before.sa_flags & SA_SIGINFO) != 0 || before.sa_handler != SIG_DFL)) {
            ::sigaction(signal_number, &before, nullptr);
        }
    });
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
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
