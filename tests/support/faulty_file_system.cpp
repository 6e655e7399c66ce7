#include "tests/support/faulty_file_system.h"

#include <algorithm>
#include <cerrno>

namespace lumora {

namespace {

std::string last_component(const std::string& path) { return path.substr(directory_of(path).size()); }

// True when path names destination, or a temporary file the writers make
// for it: ".NAME.veska-XXXXXX" in the same folder.
bool belongs_to(const std::string& path, const std::string& destination)
{
    if (path == destination) {
        return true;
    }
    const std::string prefix = "." + last_component(destination) + ".veska-";
    const std::string last = last_component(path);
    return directory_of(path) == directory_of(destination) && last.size() == prefix.size() + 6 &&
           last.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

bool FaultyFileSystem::hits(FileStep step, const std::string& path)
{
    const bool hit = step == fault_.step && (fault_.destination.empty() || belongs_to(path, fault_.destination));
    strikes_ += hit ? 1 : 0;
    return hit;
}

bool FaultyFileSystem::hits(FileStep step, FileHandle file)
{
    if (look_) {
        look_(step, names_[file.handle]);
    }
    const bool ours = fault_.destination.empty() ||
                      std::find(destination_files_.begin(), destination_files_.end(), file.handle) !=
                          destination_files_.end();
    const bool hit = step == fault_.step && ours;
    strikes_ += hit ? 1 : 0;
    return hit;
}

void FaultyFileSystem::remember(const std::string& path, FileHandle file)
{
    names_[file.handle] = path;
    if (!fault_.destination.empty() && belongs_to(path, fault_.destination)) {
        destination_files_.push_back(file.handle);
    }
}

int FaultyFileSystem::access_control(const std::string& path, std::vector<std::uint8_t>& list)
{
    return hits(FileStep::read_access_control, path) ? fault_.error : SystemFileSystem::access_control(path, list);
}

ReadResult FaultyFileSystem::read_file(const std::string& path, const ReadLimits& limits, FileBytes& contents)
{
    if (hits(FileStep::open_to_read, path)) {
        contents.clear();
        return {fault_.error, ReadStep::opening};
    }
    const ReadResult result = SystemFileSystem::read_file(path, limits, contents);
    if (result.error != 0 || !hits(FileStep::read, path)) {
        return result;
    }
    contents.cut(fault_.error == ENOMEM ? 0 : contents.size() / 2);
    return {fault_.error, ReadStep::reading};
}

int FaultyFileSystem::create_temporary(const std::string& path, FileHandle& file)
{
    if (hits(FileStep::create, path)) {
        return fault_.error;
    }
    const int error = SystemFileSystem::create_temporary(path, file);
    if (error == 0) {
        remember(path, file);
    }
    return error;
}

int FaultyFileSystem::open_for_writing(const std::string& path, FileHandle& file)
{
    if (hits(FileStep::create, path)) {
        return fault_.error;
    }
    const int error = SystemFileSystem::open_for_writing(path, file);
    if (error == 0) {
        remember(path, file);
    }
    return error;
}

int FaultyFileSystem::write(FileHandle file, const std::uint8_t* bytes, std::size_t size)
{
    if (hits(FileStep::write, file)) {
        SystemFileSystem::write(file, bytes, size / 2);
        return fault_.error;
    }
    return SystemFileSystem::write(file, bytes, size);
}

int FaultyFileSystem::flush_to_disk(FileHandle file)
{
    return hits(FileStep::flush, file) ? fault_.error : SystemFileSystem::flush_to_disk(file);
}

int FaultyFileSystem::close(FileHandle file)
{
    // A close that fails still lets the file go, as the system's does.
    const bool hit = hits(FileStep::close, file);
    destination_files_.erase(std::remove(destination_files_.begin(), destination_files_.end(), file.handle),
                             destination_files_.end());
    names_.erase(file.handle);
    const int error = SystemFileSystem::close(file);
    return hit ? fault_.error : error;
}

int FaultyFileSystem::set_owner(FileHandle file, std::uint32_t owner)
{
    return hits(FileStep::set_owner, file) ? fault_.error : SystemFileSystem::set_owner(file, owner);
}

int FaultyFileSystem::set_group(FileHandle file, std::uint32_t group)
{
    return hits(FileStep::set_group, file) ? fault_.error : SystemFileSystem::set_group(file, group);
}

int FaultyFileSystem::set_access_control(FileHandle file, const std::vector<std::uint8_t>& list)
{
    return hits(FileStep::set_access_control, file) ? fault_.error : SystemFileSystem::set_access_control(file, list);
}

int FaultyFileSystem::set_permissions(FileHandle file, std::uint32_t mode)
{
    return hits(FileStep::set_permissions, file) ? fault_.error : SystemFileSystem::set_permissions(file, mode);
}

int FaultyFileSystem::replace(const std::string& from, const std::string& to)
{
    return hits(FileStep::replace, to) ? fault_.error : SystemFileSystem::replace(from, to);
}

}  // namespace lumora
