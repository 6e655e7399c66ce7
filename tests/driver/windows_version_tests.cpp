// Windows alone: both programs carry the project's version information and
// its icon, read back from the built files as Explorer reads them.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "basics/version.h"

namespace lumora {

namespace {

std::wstring widened(const std::string& text) { return std::wstring(text.begin(), text.end()); }

TEST(WindowsPrograms, CarryTheirVersionInformationAndIcon)
{
    const struct {
        const char* path;
        const char* file_name;
    } programs[] = {{VESKA_PROGRAM, "veska.exe"}, {VESKA_INSPECT_PROGRAM, "veska-inspect.exe"}};
    for (const auto& program : programs) {
        SCOPED_TRACE(program.file_name);
        const std::wstring name = std::filesystem::u8path(program.path).wstring();
        DWORD ignored = 0;
        const DWORD size = ::GetFileVersionInfoSizeW(name.c_str(), &ignored);
        ASSERT_GT(size, 0u);
        std::vector<BYTE> data(size);
        ASSERT_TRUE(::GetFileVersionInfoW(name.c_str(), 0, size, data.data()));
        const auto text = [&](const wchar_t* key) {
            void* value = nullptr;
            UINT length = 0;
            const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
            return ::VerQueryValueW(data.data(), path.c_str(), &value, &length) && length > 0
                       ? std::wstring(static_cast<const wchar_t*>(value))
                       : std::wstring();
        };
        EXPECT_EQ(text(L"ProductName"), L"Lumora");
        EXPECT_EQ(text(L"ProductVersion"), widened(LUMORA_VERSION));
        EXPECT_EQ(text(L"FileVersion"), widened(LUMORA_VERSION));
        EXPECT_EQ(text(L"OriginalFilename"), widened(program.file_name));
        EXPECT_GT(text(L"FileDescription").size(), 10u);
        EXPECT_EQ(text(L"LegalCopyright").rfind(L"Copyright", 0), 0u);

        // The numbers Explorer shows: major.minor.patch of the same version.
        void* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(::VerQueryValueW(data.data(), L"\\", &fixed, &length));
        const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
        const std::string numbers = std::to_string(HIWORD(info->dwProductVersionMS)) + "." +
                                    std::to_string(LOWORD(info->dwProductVersionMS)) + "." +
                                    std::to_string(HIWORD(info->dwProductVersionLS));
        EXPECT_EQ(numbers, LUMORA_VERSION);

        // The icon, with pictures for the small and the large view.
        const HMODULE module = ::LoadLibraryExW(name.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
        const HRSRC group = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
        EXPECT_NE(group, nullptr);
        if (group != nullptr) {
            EXPECT_GE(::SizeofResource(module, group), 6u + 14u * 2u);  // a header and at least two pictures
        }
        ::FreeLibrary(module);
    }
}

}  // namespace

}  // namespace lumora
