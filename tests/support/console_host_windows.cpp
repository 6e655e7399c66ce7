// Test support on Windows: runs a program with its standard input, output
// and error on a console, as a command prompt does, and tells what the
// console then shows.
//
//     console_host SCREEN_FILE PROGRAM [ARGUMENT...]
//
// The console is a pseudo console, which needs no window (Wine without a
// display has none to give). The process that a pseudo console starts gets
// no standard handles of it, so this helper starts itself on the console
// first ("--on-console ..."); there it opens the console's screen and
// keyboard, starts PROGRAM with them as its standard handles, waits for it,
// and writes the screen's lines up to the cursor to SCREEN_FILE as UTF-8,
// each without its trailing blanks and ending in a line feed. The exit code
// is PROGRAM's, or 255 when the console or the program could not be had.
//
//     console_host --own-window SCREEN_FILE PROGRAM [ARGUMENT...]
//
// runs PROGRAM as the file manager does, in a console of its own 120
// columns wide: the helper types Enter into the console first, starts
// PROGRAM suspended, leaves the console to it and only then lets it run;
// the screen is read through the handle opened before.
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/support/windows_command_line.h"

namespace lumora {

namespace {

constexpr int NOT_RUN = 255;
constexpr wchar_t ON_CONSOLE[] = L"--on-console";
constexpr wchar_t OWN_WINDOW[] = L"--own-window";
constexpr SHORT OWN_WINDOW_WIDTH = 120;

std::wstring command_line(const std::vector<std::wstring>& words)
{
    std::wstring line;
    for (const std::wstring& word : words) {
        line += (line.empty() ? L"" : L" ") + quoted_argument(word);
    }
    return line;
}

int wait_for(const PROCESS_INFORMATION& process)
{
    DWORD exit_code = NOT_RUN;
    if (::WaitForSingleObject(process.hProcess, INFINITE) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(process.hProcess, &exit_code)) {
        exit_code = NOT_RUN;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(exit_code);
}

// The screen's lines up to the cursor, as UTF-8.
std::string screen_text(HANDLE screen)
{
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(screen, &info)) {
        return std::string();
    }
    const SHORT rows = static_cast<SHORT>(info.dwCursorPosition.Y + (info.dwCursorPosition.X > 0 ? 1 : 0));
    std::wstring text;
    std::wstring row(static_cast<std::size_t>(info.dwSize.X), L' ');
    for (SHORT y = 0; y < rows; ++y) {
        DWORD got = 0;
        if (!::ReadConsoleOutputCharacterW(screen, &row[0], static_cast<DWORD>(row.size()), COORD{0, y}, &got)) {
            return std::string();
        }
        const std::wstring line = row.substr(0, got);
        const std::size_t end = line.find_last_not_of(L' ');
        text += (end == std::wstring::npos ? std::wstring() : line.substr(0, end + 1)) + L"\n";
    }
    if (text.empty()) {
        return std::string();
    }
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], size, nullptr, nullptr);
    return utf8;
}

// On the console: the program with the console as its standard handles,
// then the screen to the file.
int run_on_console(const std::wstring& screen_file, const std::vector<std::wstring>& program, bool own_window)
{
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE screen = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        &inherited, OPEN_EXISTING, 0, nullptr);
    const HANDLE keyboard = ::CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          &inherited, OPEN_EXISTING, 0, nullptr);
    if (screen == INVALID_HANDLE_VALUE || keyboard == INVALID_HANDLE_VALUE) {
        return NOT_RUN;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = keyboard;
    startup.hStdOutput = screen;
    startup.hStdError = screen;
    PROCESS_INFORMATION process{};
    std::wstring line = command_line(program);
    if (!::CreateProcessW(program[0].c_str(), &line[0], nullptr, nullptr, TRUE, own_window ? CREATE_SUSPENDED : 0,
                          nullptr, nullptr, &startup, &process)) {
        return NOT_RUN;
    }
    if (own_window) {
        ::FreeConsole();
        ::ResumeThread(process.hThread);
    }
    const int exit_code = wait_for(process);
    const std::string text = screen_text(screen);
    const HANDLE file = ::CreateFileW(screen_file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD wrote = 0;
    const bool written = file != INVALID_HANDLE_VALUE &&
                         (text.empty() || ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &wrote,
                                                      nullptr)) &&
                         wrote == text.size();
    if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
    }
    return written ? exit_code : NOT_RUN;
}

// Makes the pseudo console and starts this helper on it with words after
// ON_CONSOLE; everything the console sends out is read and dropped.
int run_with_console(const std::vector<std::wstring>& words, bool own_window)
{
    HANDLE input_read = nullptr;
    HANDLE input_write = nullptr;
    HANDLE output_read = nullptr;
    HANDLE output_write = nullptr;
    if (!::CreatePipe(&input_read, &input_write, nullptr, 0) || !::CreatePipe(&output_read, &output_write, nullptr, 0)) {
        return NOT_RUN;
    }
    HPCON console = nullptr;
    const HRESULT made = ::CreatePseudoConsole(COORD{own_window ? OWN_WINDOW_WIDTH : SHORT{200}, 100}, input_read,
                                               output_write, 0, &console);
    ::CloseHandle(input_read);
    ::CloseHandle(output_write);
    if (FAILED(made)) {
        return NOT_RUN;
    }
    // The Enter that closes the program's own window.
    DWORD typed = 0;
    if (own_window && !::WriteFile(input_write, "\r", 1, &typed, nullptr)) {
        return NOT_RUN;
    }
    std::thread drain([output_read] {
        char chunk[4096];
        DWORD got = 0;
        while (::ReadFile(output_read, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        }
    });

    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<char> attributes(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
    int exit_code = NOT_RUN;
    if (::InitializeProcThreadAttributeList(list, 1, 0, &size) &&
        ::UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_PSEUDOCONSOLE, console, sizeof console, nullptr,
                                    nullptr)) {
        STARTUPINFOEXW startup{};
        startup.StartupInfo.cb = sizeof startup;
        // No standard handle of this process reaches the helper on the console.
        startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
        startup.lpAttributeList = list;
        wchar_t self[MAX_PATH];
        const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::vector<std::wstring> helper{std::wstring(self, length), ON_CONSOLE};
        if (own_window) {
            helper.push_back(OWN_WINDOW);
        }
        helper.insert(helper.end(), words.begin(), words.end());
        std::wstring line = command_line(helper);
        PROCESS_INFORMATION process{};
        if (length > 0 && length < MAX_PATH &&
            ::CreateProcessW(helper[0].c_str(), &line[0], nullptr, nullptr, FALSE, EXTENDED_STARTUPINFO_PRESENT,
                             nullptr, nullptr, &startup.StartupInfo, &process)) {
            exit_code = wait_for(process);
        }
        ::DeleteProcThreadAttributeList(list);
    }
    if (own_window) {
        // The console that its program was left alone on does not always
        // end its output (Wine); the drain ends with this process.
        drain.detach();
        return exit_code;
    }
    ::ClosePseudoConsole(console);
    ::CloseHandle(input_write);
    drain.join();
    ::CloseHandle(output_read);
    return exit_code;
}

int host(std::vector<std::wstring> words)
{
    const bool on_console = !words.empty() && words[0] == ON_CONSOLE;
    if (on_console) {
        words.erase(words.begin());
    }
    const bool own_window = !words.empty() && words[0] == OWN_WINDOW;
    if (own_window) {
        words.erase(words.begin());
    }
    if (words.size() < 2) {
        return NOT_RUN;
    }
    return on_console ? run_on_console(words[0], std::vector<std::wstring>(words.begin() + 1, words.end()), own_window)
                      : run_with_console(words, own_window);
}

}  // namespace

}  // namespace lumora

int main()
{
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (arguments == nullptr) {
        return 255;
    }
    const std::vector<std::wstring> words(arguments + 1, arguments + count);
    ::LocalFree(arguments);
    return lumora::host(words);
}
