// Test support: scratch folders and whole files. Scratch folders come from
// std::filesystem alone, so that tests run the same on every platform and
// in parallel. Names are UTF-8 on every system.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumora {

using Bytes = std::vector<std::uint8_t>;

// A fresh empty folder of its own, removed with everything in it when the
// object dies.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The whole file; empty when it cannot be read.
Bytes read_file_bytes(const std::string& path);
std::string read_file_text(const std::string& path);
// Writes the file whole, replacing it; throws std::runtime_error on failure.
void write_file_bytes(const std::string& path, const Bytes& bytes);
void write_file_text(const std::string& path, const std::string& text);
// True when something (a link included) stands at path.
bool file_exists(const std::string& path);
// The names in a folder, sorted. Each system has its own (files_posix.cpp,
// files_windows.cpp), since long names need the system's own calls.
std::vector<std::string> folder_entries(const std::string& path);
// Removes the folder and everything in it, read-only files too, as far as
// it can.
void remove_tree(const std::string& path);

}  // namespace lumora
