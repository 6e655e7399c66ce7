#include "tests/support/files.h"

#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>

#include "platform/platform.h"

namespace lumora {

namespace fs = std::filesystem;

ScratchDir::ScratchDir()
{
    std::random_device random;
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = base / ("veska-test-" + std::to_string(random()) + std::to_string(random()));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            path_ = candidate.generic_string();
            return;
        }
    }
    throw std::runtime_error("cannot make a scratch folder");
}

ScratchDir::~ScratchDir() { remove_tree(path_); }

Bytes read_file_bytes(const std::string& path)
{
    Bytes bytes;
    std::FILE* file = open_file(path.c_str(), "rb");
    if (file == nullptr) {
        return bytes;
    }
    std::uint8_t chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    std::fclose(file);
    return bytes;
}

std::string read_file_text(const std::string& path)
{
    const Bytes bytes = read_file_bytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void write_file_bytes(const std::string& path, const Bytes& bytes)
{
    std::FILE* file = open_file(path.c_str(), "wb");
    if (file == nullptr) {
        throw std::runtime_error("cannot write " + path);
    }
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        throw std::runtime_error("cannot write " + path);
    }
}

void write_file_text(const std::string& path, const std::string& text)
{
    write_file_bytes(path, Bytes(text.begin(), text.end()));
}

bool file_exists(const std::string& path)
{
    std::error_code ignored;
    return fs::exists(fs::symlink_status(fs::u8path(path), ignored));
}

}  // namespace lumora
