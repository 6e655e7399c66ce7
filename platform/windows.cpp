// The platform layer on Windows: names are UTF-8 in the program and UTF-16
// for the system, with the "\\?\" prefix so that long names work; files are
// handled through the system's own calls, and their errors are turned into
// the standard error numbers.
#include "platform/platform.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cwchar>
#include <fcntl.h>
#include <io.h>
#include <iterator>
#include <utility>
#include <windows.h>

#include "platform/file_system.h"

namespace lumora {

// The temporary file that the console's interrupt handler removes. The
// handler runs on a thread of its own while the program goes on, so the name
// is kept, already in the system's form, in a fixed buffer that the handler
// reads only while armed is set.
struct TemporaryFileForSignalHandler {
    std::atomic<int> armed;
    wchar_t path[33000];
};
TemporaryFileForSignalHandler temporary_file_for_signal_handler{};

namespace {

// The system error codes that have a standard error number of their own;
// any other is EIO.
constexpr std::pair<DWORD, int> ERROR_NUMBERS[] = {
    {ERROR_SUCCESS, 0},
    {ERROR_FILE_NOT_FOUND, ENOENT}, {ERROR_PATH_NOT_FOUND, ENOENT}, {ERROR_INVALID_DRIVE, ENOENT},
    {ERROR_BAD_NETPATH, ENOENT}, {ERROR_BAD_NET_NAME, ENOENT},
    {ERROR_ACCESS_DENIED, EACCES}, {ERROR_SHARING_VIOLATION, EACCES}, {ERROR_LOCK_VIOLATION, EACCES},
    {ERROR_WRITE_PROTECT, EACCES}, {ERROR_CURRENT_DIRECTORY, EACCES},
    {ERROR_FILE_EXISTS, EEXIST}, {ERROR_ALREADY_EXISTS, EEXIST},
    {ERROR_DISK_FULL, ENOSPC}, {ERROR_HANDLE_DISK_FULL, ENOSPC},
    {ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG},
    {ERROR_INVALID_NAME, EINVAL}, {ERROR_BAD_PATHNAME, EINVAL}, {ERROR_DIRECTORY, EINVAL},
    {ERROR_INVALID_PARAMETER, EINVAL},
    {ERROR_NOT_SAME_DEVICE, EXDEV},
    {ERROR_NOT_ENOUGH_MEMORY, ENOMEM}, {ERROR_OUTOFMEMORY, ENOMEM},
    {ERROR_TOO_MANY_OPEN_FILES, EMFILE},
    {ERROR_BROKEN_PIPE, EPIPE}, {ERROR_NO_DATA, EPIPE},
};

// The standard error number for a system error code.
int error_number(DWORD code)
{
    const auto known = [code](const std::pair<DWORD, int>& entry) { return entry.first == code; };
    const auto* found = std::find_if(std::begin(ERROR_NUMBERS), std::end(ERROR_NUMBERS), known);
    return found != std::end(ERROR_NUMBERS) ? found->second : EIO;
}

int last_error() { return error_number(::GetLastError()); }

// UTF-8 to UTF-16; false when text is not valid UTF-8.
bool to_wide(const std::string& text, std::wstring& wide)
{
    wide.clear();
    if (text.empty()) {
        return true;
    }
    const int length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                             nullptr, 0);
    if (length <= 0) {
        return false;
    }
    wide.resize(static_cast<std::size_t>(length));
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return true;
}

std::string to_utf8(const wchar_t* wide)
{
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) {
        return std::string();
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], length, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(length - 1));
    return text;
}

// The longest a single component of a name may be, in UTF-16 units.
constexpr std::size_t COMPONENT_MAX = 255;

// True when the system takes no such name: longer than 32767 characters in
// all, or a component longer than COMPONENT_MAX. The system itself (or
// Wine) may report such a name as missing instead.
bool too_long(const std::wstring& name)
{
    if (name.size() >= 32767) {
        return true;
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i <= name.size(); ++i) {
        if (i == name.size() || name[i] == L'\\' || name[i] == L'/') {
            if (i - start > COMPONENT_MAX) {
                return true;
            }
            start = i + 1;
        }
    }
    return false;
}

// The name in the form the system's wide calls take for any length: the
// full path with the "\\?\" prefix. Device names (NUL, CON, COM1) and names
// already in the system's own forms are passed as they are. Gives EINVAL for
// text that is not UTF-8, ENAMETOOLONG for a name the system cannot take.
int system_name(const std::string& name, std::wstring& result)
{
    std::wstring wide;
    if (!to_wide(name, wide) || wide.empty()) {
        return wide.empty() && !name.empty() ? EINVAL : ENOENT;
    }
    if (wide.compare(0, 4, L"\\\\?\\") == 0 || wide.compare(0, 4, L"\\\\.\\") == 0) {
        result = wide;
        return 0;
    }
    const DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return last_error();
    }
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(wide.c_str(), needed, &full[0], nullptr);
    if (length == 0 || length >= needed) {
        return last_error();
    }
    full.resize(length);
    if (too_long(full)) {
        return ENAMETOOLONG;
    }
    if (full.compare(0, 4, L"\\\\.\\") == 0) {
        result = full;  // a device
    } else if (full.compare(0, 2, L"\\\\") == 0) {
        result = L"\\\\?\\UNC\\" + full.substr(2);
    } else {
        result = L"\\\\?\\" + full;
    }
    return 0;
}

HANDLE handle_of(FileHandle file) { return reinterpret_cast<HANDLE>(file.handle); }

// Opens the file at path by its system name (see system_name): 0 with file
// set, or the error number.
int open_by_name(const std::string& path, DWORD access, DWORD sharing, DWORD disposition, DWORD flags,
                 FileHandle& file)
{
    std::wstring name;
    const int name_error = system_name(path, name);
    if (name_error != 0) {
        return name_error;
    }
    HANDLE handle = ::CreateFileW(name.c_str(), access, sharing, nullptr, disposition, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return last_error();
    }
    file.handle = reinterpret_cast<std::intptr_t>(handle);
    return 0;
}

BOOL WINAPI remove_temporary_on_interrupt(DWORD)
{
    if (temporary_file_for_signal_handler.armed.load() != 0) {
        ::DeleteFileW(temporary_file_for_signal_handler.path);
    }
    return FALSE;  // the default handling ends the process
}

}  // namespace

std::string directory_of(const std::string& path)
{
    // A drive letter with its colon, then everything up to the last separator.
    const std::size_t drive = path.size() >= 2 && path[1] == ':' ? 2 : 0;
    const std::size_t separator = path.find_last_of("/\\");
    return path.substr(0, std::max(drive, separator == std::string::npos ? 0 : separator + 1));
}

std::string name_as_resolved(const std::string& path)
{
    // The system drops the dots and blanks that end a name ("plane.mdl. "
    // opens plane.mdl), but not from "." and "..", nor all of a name.
    const std::size_t start = directory_of(path).size();
    const std::string last = path.substr(start);
    if (last == "." || last == "..") {
        return path;
    }
    const std::size_t kept = path.find_last_not_of(". ");
    return kept != std::string::npos && kept >= start ? path.substr(0, kept + 1) : path;
}

int FileSystem::file_info(const std::string& path, bool follow_links, FileInfo& info)
{
    info = FileInfo{};
    std::wstring name;
    const int name_error = system_name(path, name);
    if (name_error != 0) {
        return name_error;
    }
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (follow_links ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    HANDLE handle = ::CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
            info.kind = FileKind::missing;
            return 0;
        }
        return error_number(code);
    }
    BY_HANDLE_FILE_INFORMATION data{};
    int error = 0;
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        info.kind = FileKind::other;
    } else if (::GetFileInformationByHandle(handle, &data)) {
        const DWORD attributes = data.dwFileAttributes;
        info.kind = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && !follow_links ? FileKind::link
                    : (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0                   ? FileKind::directory
                                                                                      : FileKind::regular;
        info.volume = data.dwVolumeSerialNumber;
        info.index = (static_cast<std::uint64_t>(data.nFileIndexHigh) << 32) | data.nFileIndexLow;
        info.mode = (attributes & FILE_ATTRIBUTE_READONLY) != 0 ? 0444 : 0666;
    } else {
        error = last_error();
    }
    ::CloseHandle(handle);
    return error;
}

bool same_file(const FileInfo& a, const FileInfo& b)
{
    return a.kind != FileKind::missing && b.kind != FileKind::missing && a.kind != FileKind::other && a.volume == b.volume &&
           a.index == b.index;
}

int FileSystem::follow_links(const std::string& path, std::string& destination)
{
    // No folder here protects the links in it: every link is followed.
    destination = path;
    FileInfo info{};
    if (file_info(path, false, info) != 0 || info.kind != FileKind::link) {
        return 0;
    }
    FileHandle file{};
    if (open_by_name(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS, file) != 0) {
        return 0;
    }
    std::wstring target(33000, L'\0');
    const DWORD length = ::GetFinalPathNameByHandleW(handle_of(file), &target[0], static_cast<DWORD>(target.size()), 0);
    ::CloseHandle(handle_of(file));
    if (length != 0 && length < target.size()) {
        target.resize(length);
        destination = to_utf8(target.c_str());
    }
    return 0;
}

// Files here have no access control list of this kind; the system's own
// lists come with the folder a file is made in.
int FileSystem::access_control(const std::string&, std::vector<std::uint8_t>& list)
{
    list.clear();
    return 0;
}

int FileSystem::new_file_permissions(const std::string&, Permissions& permissions)
{
    permissions = Permissions{0666, {}};
    return 0;
}

std::FILE* open_file(const char* name, const char* mode)
{
    std::wstring wide_name;
    std::wstring wide_mode;
    const int name_error = system_name(name, wide_name);
    if (name_error != 0 || !to_wide(mode, wide_mode)) {
        errno = name_error == ENAMETOOLONG ? ENAMETOOLONG : ENOENT;
        return nullptr;
    }
    return ::_wfopen(wide_name.c_str(), wide_mode.c_str());
}

int file_length(std::FILE* file, std::uint64_t& length)
{
    const HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
    if (handle == INVALID_HANDLE_VALUE) {
        return EBADF;
    }
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        return ESPIPE;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle, &size)) {
        return last_error();
    }
    length = static_cast<std::uint64_t>(size.QuadPart);
    return 0;
}

int FileSystem::create_temporary(const std::string& path, FileHandle& file)
{
    // Shared for deleting, so that the interrupt handler can remove it while
    // it is still open.
    return open_by_name(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                        file);
}

int TemporaryFile::create(const std::string& path)
{
    // The console's interrupts are handled beside the program, which only
    // ever sees the name complete.
    const int error = files_.create_temporary(path, file_);
    if (error == 0) {
        path_ = path;
        open_ = present_ = true;
        remove_on_interrupt(path.c_str());
    }
    return error;
}

int FileSystem::open_for_writing(const std::string& path, FileHandle& file)
{
    std::wstring name;
    if (!to_wide(path, name)) {
        return EINVAL;
    }
    HANDLE handle = ::CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return last_error();
    }
    file.handle = reinterpret_cast<std::intptr_t>(handle);
    return 0;
}

int FileSystem::check_writable(const std::string& path)
{
    // Opened as writing it would open it, sharing everything: a read-only
    // file refuses the access, a file that another program holds without
    // sharing writing refuses the sharing.
    FileHandle file{};
    const int error = open_by_name(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, file);
    if (error == 0) {
        ::CloseHandle(handle_of(file));
    }
    return error;
}

bool file_in_use(const std::string& path)
{
    std::wstring name;
    if (system_name(path, name) != 0) {
        return false;
    }
    // Each kind of access that another program may keep to itself; what
    // the file itself refuses (a read-only file's writing) is no sharing
    // violation and tells nothing.
    const DWORD accesses[] = {GENERIC_READ, GENERIC_WRITE, DELETE};
    for (const DWORD access : accesses) {
        HANDLE handle = ::CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
            continue;
        }
        const DWORD code = ::GetLastError();
        if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) {
            return true;
        }
    }
    return false;
}

int FileSystem::write(FileHandle file, const std::uint8_t* bytes, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const std::size_t rest = size - done;
        const DWORD chunk = rest > 0x40000000u ? 0x40000000u : static_cast<DWORD>(rest);
        DWORD wrote = 0;
        if (!::WriteFile(handle_of(file), bytes + done, chunk, &wrote, nullptr)) {
            return last_error();
        }
        if (wrote == 0) {
            return EIO;
        }
        done += wrote;
    }
    return 0;
}

int FileSystem::flush_to_disk(FileHandle file) { return ::FlushFileBuffers(handle_of(file)) ? 0 : last_error(); }

int FileSystem::close(FileHandle file) { return ::CloseHandle(handle_of(file)) ? 0 : last_error(); }

int FileSystem::set_permissions(FileHandle file, std::uint32_t mode)
{
    // Only one bit of the permissions exists here: read-only.
    if ((mode & 0222) != 0) {
        return 0;
    }
    FILE_BASIC_INFO basic{};
    if (!::GetFileInformationByHandleEx(handle_of(file), FileBasicInfo, &basic, sizeof basic)) {
        return last_error();
    }
    basic.FileAttributes |= FILE_ATTRIBUTE_READONLY;
    return ::SetFileInformationByHandle(handle_of(file), FileBasicInfo, &basic, sizeof basic) ? 0 : last_error();
}

int FileSystem::set_owner(FileHandle, std::uint32_t) { return 0; }

int FileSystem::set_group(FileHandle, std::uint32_t) { return 0; }

int FileSystem::set_access_control(FileHandle, const std::vector<std::uint8_t>&) { return 0; }

int FileSystem::replace(const std::string& from, const std::string& to)
{
    std::wstring source;
    std::wstring destination;
    int error = system_name(from, source);
    if (error == 0) {
        error = system_name(to, destination);
    }
    if (error != 0) {
        return error;
    }
    // A read-only file is the user's protection of it: it is not replaced
    // (the system refuses, and the writers refuse it before that).
    return ::MoveFileExW(source.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : last_error();
}

int FileSystem::remove(const std::string& path)
{
    std::wstring name;
    const int name_error = system_name(path, name);
    if (name_error != 0) {
        return name_error;
    }
    return ::DeleteFileW(name.c_str()) ? 0 : last_error();
}

void FileSystem::flush_directory(const std::string&) {}

std::uint32_t effective_user() { return 0; }

std::vector<std::string> program_arguments(int argc, char** argv)
{
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
    }
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        arguments.push_back(to_utf8(wide[i]));
    }
    ::LocalFree(wide);
    return arguments;
}

void prepare_standard_output()
{
    std::fflush(stdout);
    ::_setmode(::_fileno(stdout), _O_BINARY);
}

bool owns_console()
{
    // A console that no other process shares was made for this program;
    // one opened from a command prompt also holds the prompt's process.
    DWORD processes[2] = {0, 0};
    return ::GetConsoleProcessList(processes, 2) == 1;
}

unsigned console_width()
{
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(::GetStdHandle(STD_OUTPUT_HANDLE), &info)) {
        return 0;
    }
    const int width = info.srWindow.Right - info.srWindow.Left + 1;
    return width > 0 ? static_cast<unsigned>(width) : 0;
}

void hold_own_window(const std::string& prompt)
{
    if (!owns_console()) {
        return;
    }
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (input == INVALID_HANDLE_VALUE || !::GetConsoleMode(input, &mode)) {
        return;
    }
    std::fputs(prompt.c_str(), stdout);
    std::fflush(stdout);
    wchar_t buffer[64];
    DWORD read = 0;
    while (::ReadConsoleW(input, buffer, 64, &read, nullptr) && read > 0) {
        if (std::wmemchr(buffer, L'\n', read) != nullptr || std::wmemchr(buffer, L'\r', read) != nullptr) {
            break;
        }
    }
}

void install_interrupt_cleanup() { ::SetConsoleCtrlHandler(remove_temporary_on_interrupt, TRUE); }

void remove_on_interrupt(const char* path)
{
    temporary_file_for_signal_handler.armed.store(0);
    std::wstring name;
    if (path == nullptr || system_name(path, name) != 0 ||
        name.size() >= sizeof temporary_file_for_signal_handler.path / sizeof(wchar_t)) {
        return;
    }
    std::wmemcpy(temporary_file_for_signal_handler.path, name.c_str(), name.size() + 1);
    temporary_file_for_signal_handler.armed.store(1);
}

}  // namespace lumora
