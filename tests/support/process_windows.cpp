#include "tests/support/process.h"

#include <filesystem>
#include <windows.h>

#include "tests/support/windows_command_line.h"

namespace lumora {

namespace {

std::wstring wide(const std::string& text) { return std::filesystem::u8path(text).wstring(); }

}  // namespace

int run_program(const std::string& program, const std::vector<std::string>& arguments, const std::string& output_file,
                const std::string& error_file)
{
    const std::wstring application = std::filesystem::absolute(std::filesystem::u8path(program)).wstring();
    std::wstring command_line = quoted_argument(application);
    for (const std::string& argument : arguments) {
        command_line += L" " + quoted_argument(wide(argument));
    }

    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE output = ::CreateFileW(wide(output_file).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE) {
        return -1;
    }
    const HANDLE error = error_file.empty() ? ::GetStdHandle(STD_ERROR_HANDLE)
                                            : ::CreateFileW(wide(error_file).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                                            &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (error == INVALID_HANDLE_VALUE) {
        ::CloseHandle(output);
        return -1;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = error;
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessW(application.c_str(), &command_line[0], nullptr, nullptr, TRUE, 0, nullptr,
                                          nullptr, &startup, &process);
    ::CloseHandle(output);
    if (!error_file.empty()) {
        ::CloseHandle(error);
    }
    if (!started) {
        return -1;
    }
    DWORD exit_code = 0;
    const bool ended = ::WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                       ::GetExitCodeProcess(process.hProcess, &exit_code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return ended ? static_cast<int>(exit_code) : -1;
}

}  // namespace lumora
