// Writing files out: the ".MD$" backup beside the model, the result under
// the target name, and any other file the programs write. Every write is
// all or nothing: the bytes go to a new file beside the destination, named
// ".NAME.veska-XXXXXX", which replaces the destination only once it was
// wholly written, flushed to the disk and closed. The temporary file is
// removed when a step fails or the process is interrupted.
#pragma once

#include <cstdint>
#include <string>

#include "basics/messages.h"

namespace lumora {

// A test seam: makes a write fail at one stage with a chosen error number,
// as a full disk or a failing device would. Zero means no fault.
enum class OutputStage {
    none = 0,
    open,
    write,   // a short write: half the bytes reach the file
    sync,
    close,
    rename,
};

struct OutputFault {
    OutputStage stage;
    int error;               // the error number the stage fails with
    const char* only_name;   // fail only writes to this destination, or any when null
};

// What every write needs besides its bytes.
struct OutputContext {
    Diagnostics& diagnostics;     // where the messages go
    const char* definition_name;  // the definition file, which no write may replace; null for none
    OutputFault fault;            // none in the programs
};

// The messages of the three steps of one kind of write: each takes the
// destination's name and the error's text.
struct OutputMessages {
    MessageId opening;
    MessageId writing;
    MessageId closing;
};

// The backup name: the model's name with the extension of its last path
// component (from its last dot; "\" and "/" both separate components)
// replaced by ".MD$", or ".MD$" appended when it has none.
std::string backup_name(const char* mdl_name);

// Writes the bytes as the new backup of mdl_name, a regular file of the
// model's permissions (and owner, where the process may set it) that
// replaces whatever stood at the backup name (a directory there is an
// error), and prints "Backup MDL file ... created." A backup name that
// leads to the model or to the definition file is refused. Returns 0, or the
// error number of the failing step after its message (never 0 on failure).
int write_backup(const OutputContext& context, const char* mdl_name, const std::uint8_t* buffer,
                 std::uint32_t size);

// Writes the bytes to target_name with the target's messages; see
// write_replacing.
int write_target(const OutputContext& context, const char* target_name, const std::uint8_t* buffer,
                 std::uint32_t size);

// Writes the bytes to name: a symbolic link is followed, an existing file is
// replaced and keeps its permissions (and owner, where the process may set
// it), a destination that is not a regular file (a device) is written
// directly, a directory or the definition file is refused at the opening
// step. Returns 0, or the error number of the failing step after its
// message (never 0 on failure).
int write_replacing(const OutputContext& context, const OutputMessages& messages, const char* name,
                    const std::uint8_t* buffer, std::size_t size);

}  // namespace lumora
