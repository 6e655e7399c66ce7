// Test support: the system's file system with one operation made to fail,
// as a full disk, a failing device or a refusing file system would make it
// fail, for the files of one destination or for all; a test may also look
// at each new file before each step on it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace lumora {

enum class FileStep {
    none,                // nothing fails
    create,              // creating the temporary file, or opening a device
    write,               // a short write: half the bytes reach the file
    flush,
    close,
    set_owner,
    set_group,
    read_access_control,
    set_access_control,
    set_permissions,
    replace,
    open_to_read,        // opening a file to read it whole
    read,                // reading it: half its bytes arrive, then the error
};

struct FileFault {
    FileStep step;
    int error;                // the error number the step fails with
    std::string destination;  // fail only for this file (as reached after its links), or for any when empty
};

class FaultyFileSystem final : public SystemFileSystem {
public:
    explicit FaultyFileSystem(FileFault fault) : fault_(std::move(fault)) {}

    // How often the fault struck.
    int strikes() const { return strikes_; }

    // Calls look(step, name) before each step on an open file, with the
    // name the file was created or opened with.
    void watch(std::function<void(FileStep step, const std::string& name)> look) { look_ = std::move(look); }

    int access_control(const std::string& path, std::vector<std::uint8_t>& list) override;
    ReadResult read_file(const std::string& path, const ReadLimits& limits, FileBytes& contents) override;
    int create_temporary(const std::string& path, FileHandle& file) override;
    int open_for_writing(const std::string& path, FileHandle& file) override;
    int write(FileHandle file, const std::uint8_t* bytes, std::size_t size) override;
    int flush_to_disk(FileHandle file) override;
    int close(FileHandle file) override;
    int set_owner(FileHandle file, std::uint32_t owner) override;
    int set_group(FileHandle file, std::uint32_t group) override;
    int set_access_control(FileHandle file, const std::vector<std::uint8_t>& list) override;
    int set_permissions(FileHandle file, std::uint32_t mode) override;
    int replace(const std::string& from, const std::string& to) override;

private:
    // True when step on the file at path (the destination or a temporary
    // file of it), or on an open file of the destination, is to fail.
    bool hits(FileStep step, const std::string& path);
    bool hits(FileStep step, FileHandle file);
    void remember(const std::string& path, FileHandle file);

    FileFault fault_;
    std::vector<std::intptr_t> destination_files_;  // the open files of the destination
    std::map<std::intptr_t, std::string> names_;     // every open file's name
    std::function<void(FileStep, const std::string&)> look_;
    int strikes_ = 0;
};

}  // namespace lumora
