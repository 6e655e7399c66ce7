#include "tests/support/special_files.h"

#include <sys/stat.h>
#include <unistd.h>

namespace lumora {

bool make_fifo(const std::string& path) { return ::mkfifo(path.c_str(), 0644) == 0; }

bool make_symlink(const std::string& target, const std::string& link)
{
    return ::symlink(target.c_str(), link.c_str()) == 0;
}

bool can_give_files_away() { return ::geteuid() == 0; }

Ownership ownership_of(const std::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return Ownership{0, 0, 0};
    }
    return Ownership{static_cast<std::uint32_t>(info.st_mode & 07777), static_cast<std::uint32_t>(info.st_uid),
                     static_cast<std::uint32_t>(info.st_gid)};
}

bool set_mode(const std::string& path, std::uint32_t mode)
{
    return ::chmod(path.c_str(), static_cast<mode_t>(mode)) == 0;
}

bool set_owner(const std::string& path, std::uint32_t owner, std::uint32_t group)
{
    return ::lchown(path.c_str(), static_cast<uid_t>(owner), static_cast<gid_t>(group)) == 0;
}

std::string null_device() { return "/dev/null"; }

std::string full_device() { return "/dev/full"; }

bool is_special_file(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode) &&
           !S_ISLNK(info.st_mode);
}

}  // namespace lumora
