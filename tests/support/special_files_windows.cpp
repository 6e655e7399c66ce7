// The special files on Windows: no named pipes in the file system, no
// owners, one permission bit (read-only), no device that is always full.
// Symbolic links exist, but making one may need a privilege the process has
// not got, and Wine only pretends to make one; whether it works is found out
// by trying and looking.
#include "tests/support/special_files.h"

#include <filesystem>
#include <windows.h>

namespace lumora {

namespace {

// The name as the system's wide calls take it; a device name ("NUL") stays
// as it is.
std::wstring wide_name(const std::string& path)
{
    return std::filesystem::u8path(path).make_preferred().wstring();
}

// The permission bits that the read-only attribute can stand for.
bool representable(std::uint32_t mode) { return (mode & 07777) == 0444 || (mode & 07777) == 0666; }

}  // namespace

bool make_fifo(const std::string&) { return false; }

bool make_symlink(const std::string& target, const std::string& link)
{
    const std::filesystem::path to = std::filesystem::u8path(target).make_preferred();
    std::error_code error;
    const DWORD kind = std::filesystem::is_directory(to, error) ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
    const std::wstring name = wide_name(link);
    if (!::CreateSymbolicLinkW(name.c_str(), to.wstring().c_str(), kind | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)) {
        return false;
    }
    // Some systems (Wine) report success and make nothing.
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool can_give_files_away() { return false; }

Ownership ownership_of(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesW(wide_name(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return Ownership{0, 0, 0};
    }
    return Ownership{(attributes & FILE_ATTRIBUTE_READONLY) != 0 ? 0444u : 0666u, 0, 0};
}

bool set_mode(const std::string& path, std::uint32_t mode)
{
    const std::wstring name = wide_name(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (!representable(mode) || attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    const DWORD read_only = (mode & 0222) == 0 ? FILE_ATTRIBUTE_READONLY : 0;
    return ::SetFileAttributesW(name.c_str(), (attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY)) | read_only) != 0;
}

bool set_owner(const std::string&, std::uint32_t, std::uint32_t) { return false; }

std::string null_device() { return "NUL"; }

std::string full_device() { return std::string(); }

bool is_special_file(const std::string& path)
{
    const HANDLE handle =
        ::CreateFileW(wide_name(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool special = ::GetFileType(handle) != FILE_TYPE_DISK;
    ::CloseHandle(handle);
    return special;
}

}  // namespace lumora
