// The page's files for one run of the programs' code: held in memory, in
// one folder, with no links, devices, owners or access lists of their own.
// The programs see every file as their own user's, writable, in a folder
// nobody else writes to, so that a run goes as it would in a fresh folder.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/file_system.h"

namespace lumora {

class MemoryFileSystem final : public FileSystem {
public:
    // Puts a file of these bytes at name, replacing what stood there.
    void put(const std::string& name, std::string bytes);
    // The bytes of the file at name; null where there is none.
    const std::string* bytes_of(const std::string& name) const;

    int file_info(const std::string& path, bool follow_links, FileInfo& info) override;
    int follow_links(const std::string& path, std::string& destination) override;
    int access_control(const std::string& path, std::vector<std::uint8_t>& list) override;
    int new_file_permissions(const std::string& folder, Permissions& permissions) override;
    [[nodiscard]] ReadResult read_file(const std::string& path, const ReadLimits& limits,
                                       FileBytes& contents) override;
    int create_temporary(const std::string& path, FileHandle& file) override;
    int open_for_writing(const std::string& path, FileHandle& file) override;
    int check_writable(const std::string& path) override;
    int write(FileHandle file, const std::uint8_t* bytes, std::size_t size) override;
    int flush_to_disk(FileHandle file) override;
    int close(FileHandle file) override;
    int set_owner(FileHandle file, std::uint32_t owner) override;
    int set_group(FileHandle file, std::uint32_t group) override;
    int set_access_control(FileHandle file, const std::vector<std::uint8_t>& list) override;
    int set_permissions(FileHandle file, std::uint32_t mode) override;
    int replace(const std::string& from, const std::string& to) override;
    int remove(const std::string& path) override;
    void flush_directory(const std::string& directory) override;

private:
    struct File {
        std::string bytes;
        std::uint64_t index;
        std::uint32_t mode;
    };
    // The open file of a handle; null where the handle is not open.
    File* opened(FileHandle file);
    // 0 for an open handle, else EBADF.
    int open_error(FileHandle file);

    std::map<std::string, File> files_;
    std::map<std::intptr_t, std::string> open_;  // each open handle's file name
    std::intptr_t next_handle_ = 1;
    std::uint64_t next_index_ = 2;  // 1 is the folder's
};

}  // namespace lumora
