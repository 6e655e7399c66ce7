#include "web/memory_file_system.h"

#include <cerrno>
#include <cstring>
#include <new>

namespace lumora {

namespace {

constexpr std::uint64_t VOLUME = 1;
constexpr std::uint64_t FOLDER_INDEX = 1;
constexpr std::uint32_t FOLDER_MODE = 0755;
constexpr std::uint32_t NEW_FILE_MODE = 0644;  // the usual bits less what others may not write
constexpr std::uint32_t TEMPORARY_MODE = 0600;

bool is_folder(const std::string& path) { return path.empty() || path == "."; }

}  // namespace

void MemoryFileSystem::put(const std::string& name, std::string bytes)
{
    files_[name] = File{std::move(bytes), next_index_++, NEW_FILE_MODE};
}

const std::string* MemoryFileSystem::bytes_of(const std::string& name) const
{
    const auto found = files_.find(name);
    return found == files_.end() ? nullptr : &found->second.bytes;
}

MemoryFileSystem::File* MemoryFileSystem::opened(FileHandle file)
{
    const auto name = open_.find(file.handle);
    if (name == open_.end()) {
        return nullptr;
    }
    const auto found = files_.find(name->second);
    return found == files_.end() ? nullptr : &found->second;
}

int MemoryFileSystem::open_error(FileHandle file) { return opened(file) != nullptr ? 0 : EBADF; }

int MemoryFileSystem::file_info(const std::string& path, bool, FileInfo& info)
{
    info = FileInfo{};
    if (is_folder(path)) {
        info = FileInfo{FileKind::directory, VOLUME, FOLDER_INDEX, FOLDER_MODE, effective_user(), 0};
        return 0;
    }
    const auto found = files_.find(path);
    if (found != files_.end()) {
        info = FileInfo{FileKind::regular, VOLUME, found->second.index, found->second.mode, effective_user(), 0};
    }
    return 0;
}

int MemoryFileSystem::follow_links(const std::string& path, std::string& destination)
{
    destination = path;
    return 0;
}

int MemoryFileSystem::access_control(const std::string&, std::vector<std::uint8_t>& list)
{
    list.clear();
    return 0;
}

int MemoryFileSystem::new_file_permissions(const std::string&, Permissions& permissions)
{
    permissions = Permissions{NEW_FILE_MODE, {}};
    return 0;
}

ReadResult MemoryFileSystem::read_file(const std::string& path, const ReadLimits& limits, FileBytes& contents)
{
    contents.clear();
    if (is_folder(path)) {
        return {EISDIR, ReadStep::reading};
    }
    const auto found = files_.find(path);
    if (found == files_.end()) {
        return {ENOENT, ReadStep::opening};
    }
    const std::string& bytes = found->second.bytes;
    if (limits.refuses(bytes.size())) {
        return {EFBIG, ReadStep::reading};
    }
    const std::size_t taken = bytes.size() > limits.most ? static_cast<std::size_t>(limits.most) : bytes.size();
    try {
        contents.make_room(taken);
    } catch (const std::bad_alloc&) {
        return {ENOMEM, ReadStep::reading};
    }
    if (taken > 0) {
        std::memcpy(contents.data(), bytes.data(), taken);
    }
    contents.grow(taken);
    return {0, ReadStep::reading};
}

int MemoryFileSystem::create_temporary(const std::string& path, FileHandle& file)
{
    if (is_folder(path) || files_.count(path) != 0) {
        return EEXIST;
    }
    files_[path] = File{std::string(), next_index_++, TEMPORARY_MODE};
    file.handle = next_handle_++;
    open_[file.handle] = path;
    return 0;
}

int MemoryFileSystem::open_for_writing(const std::string& path, FileHandle& file)
{
    const int error = check_writable(path);
    if (error != 0) {
        return error;
    }
    files_[path].bytes.clear();
    file.handle = next_handle_++;
    open_[file.handle] = path;
    return 0;
}

int MemoryFileSystem::check_writable(const std::string& path)
{
    if (is_folder(path)) {
        return EISDIR;
    }
    return files_.count(path) != 0 ? 0 : ENOENT;
}

int MemoryFileSystem::write(FileHandle file, const std::uint8_t* bytes, std::size_t size)
{
    File* written = opened(file);
    if (written == nullptr) {
        return EBADF;
    }
    try {
        written->bytes.append(reinterpret_cast<const char*>(bytes), size);
    } catch (const std::bad_alloc&) {
        return ENOSPC;
    }
    return 0;
}

int MemoryFileSystem::flush_to_disk(FileHandle file) { return open_error(file); }

int MemoryFileSystem::close(FileHandle file) { return open_.erase(file.handle) != 0 ? 0 : EBADF; }

int MemoryFileSystem::set_owner(FileHandle file, std::uint32_t) { return open_error(file); }

int MemoryFileSystem::set_group(FileHandle file, std::uint32_t) { return open_error(file); }

int MemoryFileSystem::set_access_control(FileHandle file, const std::vector<std::uint8_t>&)
{
    return open_error(file);
}

int MemoryFileSystem::set_permissions(FileHandle file, std::uint32_t mode)
{
    File* changed = opened(file);
    if (changed == nullptr) {
        return EBADF;
    }
    changed->mode = mode & 07777;
    return 0;
}

int MemoryFileSystem::replace(const std::string& from, const std::string& to)
{
    const auto moved = files_.find(from);
    if (moved == files_.end()) {
        return ENOENT;
    }
    if (is_folder(to)) {
        return EISDIR;
    }
    if (from != to) {
        File file = std::move(moved->second);
        files_.erase(moved);
        files_[to] = std::move(file);
        // An open file stays open under its new name.
        for (auto& [handle, name] : open_) {
            if (name == from) {
                name = to;
            }
        }
    }
    return 0;
}

int MemoryFileSystem::remove(const std::string& path) { return files_.erase(path) != 0 ? 0 : ENOENT; }

void MemoryFileSystem::flush_directory(const std::string&) {}

}  // namespace lumora
