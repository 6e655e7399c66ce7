// Writing the image out: the ".MD$" backup beside the model, and the result
// under the target name. Both write all or nothing: the image goes to a new
// file in the destination's directory, which replaces the destination only
// once it was wholly written, flushed to the disk and closed.
#pragma once

#include <cstdint>
#include <string>

#include "basics/console.h"

// A test seam: makes a write fail at one stage with a chosen error number,
// as a full disk or a failing device would. Zero means no fault.
enum OutputStage : int {
    OUTPUT_NO_FAULT = 0,
    OUTPUT_FAULT_OPEN,
    OUTPUT_FAULT_WRITE,   // a short write: half the image reaches the file
    OUTPUT_FAULT_SYNC,
    OUTPUT_FAULT_CLOSE,
    OUTPUT_FAULT_RENAME,
};

struct OutputFault {
    int stage;               // an OutputStage
    int error;               // the error number the stage fails with
    const char* only_name;   // fail only writes to this destination, or any when null
};

// The backup name: the model's name with the extension of its last path
// component (from its last dot; "\" and "/" both separate components)
// replaced by ".MD$", or ".MD$" appended when it has none.
std::string backup_name(const char* mdl_name);

// Writes the image to the backup name of mdl_name and prints "Backup MDL file
// ... created." Returns 0, or the error number of the failing step after its
// message (never 0 on failure).
int write_backup(const Console& console, const char* mdl_name, const std::uint8_t* buffer, std::uint32_t size,
                 const OutputFault& fault);

// Writes the image to target_name. Returns 0, or the error number of the
// failing step after its message (never 0 on failure).
int write_target(const Console& console, const char* target_name, const std::uint8_t* buffer, std::uint32_t size,
                 const OutputFault& fault);
