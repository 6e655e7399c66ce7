// Test support: collects what the program writes to its console, and makes
// scratch files and folders that are removed afterwards.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// While alive, the program's console output goes to a temporary file;
// text() returns everything written so far.
class ConsoleCapture {
public:
    ConsoleCapture();
    ~ConsoleCapture();
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;
    std::string text() const;

private:
    std::FILE* file_;
    std::FILE* previous_;
};

// A fresh empty folder, removed with everything in it when the object dies.
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

std::vector<std::uint8_t> read_file_bytes(const std::string& path);
std::string read_file_text(const std::string& path);
void write_file_bytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
void write_file_text(const std::string& path, const std::string& text);
bool file_exists(const std::string& path);
// The names in a folder, sorted.
std::vector<std::string> folder_entries(const std::string& path);
