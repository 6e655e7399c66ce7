// Writing files out: the ".MD$" backup beside the model, the result under
// the target name, and any other file the programs write. Every write is
// all or nothing: the bytes go to a new file beside the destination, named
// ".NAME.veska-XXXXXX" (".veska-XXXXXX" where that name would be longer
// than the system takes), which replaces the destination only once it was
// wholly written, flushed to the disk and closed. Until then only its owner
// may read or write it; the owner, group, access control list and
// permission bits it is meant to have are given to it after its bytes. The
// temporary file is removed when a step fails or the process is
// interrupted.
#pragma once

#include <cstdint>
#include <string>

#include "basics/messages.h"

namespace lumora {

class FileSystem;

// What every write needs besides its bytes.
struct OutputContext {
    Diagnostics& diagnostics;     // where the messages go
    const char* definition_name;  // the definition file, which no write may replace; null for none
    FileSystem& files;            // the file operations: the system's, or a test's
};

// The messages of the three steps of one kind of write: each takes the
// destination's name and the error's text.
struct OutputMessages {
    MessageId opening;
    MessageId writing;
    MessageId closing;
};

// The backup name: the model's name as the system resolves it (see
// name_as_resolved) with the extension of its last path component (from its
// last dot; "\" and "/" both separate components) replaced by ".MD$", or
// ".MD$" appended when it has none.
std::string backup_name(const char* mdl_name);

// Writes the bytes as the new backup of mdl_name, a regular file of the
// model's permissions and access control list (and owner and group, where
// the process may set them), never read-only: its owner may always write
// it. It replaces whatever stood at the backup name (a directory there is
// an error, and so are another user's file in a sticky folder, as for
// write_replacing, and an existing file the process may not open for
// writing), and prints "Backup MDL file ... created." A backup name that
// leads to the model or to the definition
// file is refused, and so is a model name that is a link the system's
// protection of links would not follow (EACCES). Returns 0, or the
// error number of the failing step after its message (never 0 on failure).
[[nodiscard]] int write_backup(const OutputContext& context, const char* mdl_name, const std::uint8_t* buffer,
                 std::uint32_t size);

// Writes the bytes to target_name with the target's messages; see
// write_replacing.
[[nodiscard]] int write_target(const OutputContext& context, const char* target_name, const std::uint8_t* buffer,
                 std::uint32_t size);

// Writes the bytes to name: a symbolic link is followed where the system's
// protection of links in shared folders would follow it (elsewhere EACCES),
// an existing file is replaced and keeps its permissions and access control
// list (and owner and group, where the process may set them), a new file
// gets what a new file in its folder gets, a destination that is not a
// regular file (a device) is written directly, a directory, the
// definition file or an existing file that the process may not open for
// writing (read-only, or held by another program) is refused at the
// opening step. A name that reaches
// another file than the path its links lead to (a link of the system's own
// to an open file) is written directly where that file is a pipe or device
// and refused (EACCES) where it is a regular file; in a sticky folder that
// all may write to, an existing regular file or pipe owned by neither the
// runner nor the folder's owner is refused (EACCES). Where the group cannot
// be kept, the new file gives its group no permission and the others no
// more than the old group had, and a set-user-ID or set-group-ID bit is not
// carried over to an owner or group that could not be kept; where the
// access control list cannot be given, only the owner keeps access and
// "Note: ... could not keep its access control list; ..." follows. Returns
// 0, or the error number of the failing step after its message (never 0 on
// failure).
[[nodiscard]] int write_replacing(const OutputContext& context, const OutputMessages& messages, const char* name,
                    const std::uint8_t* buffer, std::size_t size);

}  // namespace lumora
