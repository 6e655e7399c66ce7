#include <algorithm>
#include <filesystem>

#include "tests/support/files.h"

namespace lumora {

namespace fs = std::filesystem;

std::vector<std::string> folder_entries(const std::string& path)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void remove_tree(const std::string& path)
{
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

}  // namespace lumora
