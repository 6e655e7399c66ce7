// Folders on Windows through the system's wide calls with the "\\?\" prefix:
// the C runtime's folder listing, under std::filesystem, handles no name
// longer than 260 characters.
#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <windows.h>

#include "tests/support/files.h"

namespace lumora {

namespace {

// The full name with the prefix that lifts the length limit.
std::wstring long_name(const std::string& path)
{
    const std::wstring full = std::filesystem::absolute(std::filesystem::u8path(path)).make_preferred().wstring();
    return full.compare(0, 4, L"\\\\?\\") == 0 ? full : L"\\\\?\\" + full;
}

// Calls visit(name, data) for each entry of folder but "." and "..";
// false when the folder cannot be listed.
template <typename Visit>
bool for_each_entry(const std::wstring& folder, Visit visit)
{
    WIN32_FIND_DATAW data{};
    const HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") {
            visit(name, data);
        }
    } while (::FindNextFileW(search, &data));
    ::FindClose(search);
    return true;
}

void remove_wide_tree(const std::wstring& folder)
{
    for_each_entry(folder, [&folder](const std::wstring& name, const WIN32_FIND_DATAW& data) {
        const std::wstring entry = folder + L"\\" + name;
        ::SetFileAttributesW(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
        const DWORD attributes = data.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            remove_wide_tree(entry);
        } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            ::RemoveDirectoryW(entry.c_str());
        } else {
            ::DeleteFileW(entry.c_str());
        }
    });
    ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

std::vector<std::string> folder_entries(const std::string& path)
{
    std::vector<std::string> names;
    const bool listed = for_each_entry(long_name(path), [&names](const std::wstring& name, const WIN32_FIND_DATAW&) {
        names.push_back(std::filesystem::path(name).u8string());
    });
    if (!listed) {
        throw std::runtime_error("cannot list " + path);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void remove_tree(const std::string& path) { remove_wide_tree(long_name(path)); }

}  // namespace lumora
