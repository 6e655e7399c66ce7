// Test support: the special files and owners that tests put in the programs'
// way, where the system has them. Where it has not, the operation returns
// false and the test skips the case, saying why.
#pragma once

#include <cstdint>
#include <string>

namespace lumora {

// A named pipe at path.
bool make_fifo(const std::string& path);

// A symbolic link at link that leads to target.
bool make_symlink(const std::string& target, const std::string& link);

// True when the tests may give files to other users (the process is the
// system's administrator).
bool can_give_files_away();

// Permission bits and owner of the file at path (not following a link).
struct Ownership {
    std::uint32_t mode;
    std::uint32_t owner;
    std::uint32_t group;
};
Ownership ownership_of(const std::string& path);

// Gives the file permission bits, or an owner and group; false where the
// system cannot (Windows keeps only a read-only bit: 0444 or 0666).
bool set_mode(const std::string& path, std::uint32_t mode);
bool set_owner(const std::string& path, std::uint32_t owner, std::uint32_t group);

// A device that swallows everything written to it, and one that is always
// full (empty where the system has none).
std::string null_device();
std::string full_device();

// True when something stands at path that is not a regular file, a folder
// or a link (a device or a pipe).
bool is_special_file(const std::string& path);

}  // namespace lumora
