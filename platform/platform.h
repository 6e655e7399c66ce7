// What differs between the systems the programs run on: file names, the
// kind and identity of a file, the operations of writing a file
// (file_system.h), the standard output, and cleaning up when the process is
// interrupted. One implementation per system, chosen by the build (posix.cpp,
// windows.cpp); the rest of the code uses only these operations. Errors come
// back as the standard error numbers (ENOENT, EACCES, ENOSPC, ...) on every
// system, so that messages and exit codes are the same.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace lumora {

// ---- Names.

// The directory part of a path with its trailing separator, "" when there is
// none. "/" and, on Windows, "\" separate components; a drive letter with its
// colon ("C:") counts as a directory part.
std::string directory_of(const std::string& path);

// The name of the file that the system reaches by path, where the system
// reads a name otherwise than it is written: Windows drops the dots and
// blanks that end the last component ("plane.mdl. " is "plane.mdl").
// Elsewhere the name as it is.
std::string name_as_resolved(const std::string& path);

// ---- Files by name. Names are UTF-8 on every system.

enum class FileKind { missing = 0, regular, directory, link, other };

struct FileInfo {
    FileKind kind;
    std::uint64_t volume;  // the device, or the volume's serial number
    std::uint64_t index;   // the file's number on its volume
    std::uint32_t mode;    // permission bits, where the system has them
    std::uint32_t owner;   // user and group, where the system has them
    std::uint32_t group;
};

// True when both name one existing file (also through links or hard links).
bool same_file(const FileInfo& a, const FileInfo& b);

// True when another program holds the file at path open and keeps to
// itself an access that the programs need (reading, writing or replacing
// it), as a running simulator holds its models on Windows. Always false on
// systems without such sharing rules.
bool file_in_use(const std::string& path);

// fopen for a UTF-8 name.
std::FILE* open_file(const char* name, const char* mode);

// The length of an open file in bytes. 0, or the error number (ESPIPE for
// something without a length, such as a pipe).
[[nodiscard]] int file_length(std::FILE* file, std::uint64_t& length);

// ---- Writing (the operations themselves: platform/file_system.h).

struct FileHandle {
    std::intptr_t handle;  // the system's handle of an open file
};

// The user the process acts as, as file owners are numbered (0 where the
// system numbers none).
std::uint32_t effective_user();

// ---- The process.

// The arguments after the program's name, as UTF-8.
std::vector<std::string> program_arguments(int argc, char** argv);

// Standard output writes its bytes unchanged (no line-end translation).
void prepare_standard_output();

// True when the console window belongs to the program alone: it was made
// for the program, which was started by opening it (or by dropping files
// on it) in the file manager, not from a command prompt or a script. Always
// false on systems without such windows.
bool owns_console();

// The width of the console window in columns, 0 when the output is no
// console or the width is not known.
unsigned console_width();

// When the console window belongs to the program alone (see owns_console),
// prints prompt, which asks for Enter, and waits for it, so that the window
// stays until its messages are read. Anywhere else it does nothing.
void hold_own_window(const std::string& prompt);

// From now on, every signal whose default action ends the process (an
// interrupt, termination, hang-up, quit, alarm, the user signals, ...; all
// but SIGKILL) removes the temporary file that is being written, if any,
// before the process ends as the signal says. A signal the process was
// started ignoring stays ignored. A closed pipe or a write beyond the
// file-size limit fails with an error rather than ending the process.
void install_interrupt_cleanup();

// Sets the temporary file that an interrupt removes; null for none (for
// TemporaryFile). A name too long to keep is not kept, and that file is then
// left behind by an interrupt.
void remove_on_interrupt(const char* path);

}  // namespace lumora
