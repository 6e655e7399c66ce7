// The MDL file held whole in memory, and its loading: read and accepted
// when it is a model this program can give landing lights (the layout it
// must have is in mdl_layout.h).
#pragma once

#include <cstdint>
#include <string>

#include "basics/messages.h"
#include "platform/file_system.h"

namespace lumora {

struct MdlImage {
    FileBytes buffer;                   // the whole file, exactly size bytes; none until a file was taken in
    std::uint32_t size = 0;             // the file's length in bytes
    std::uint8_t* code_area = nullptr;  // bytes() + MODEL_CODE_OFFSET once accepted, else null

    // The file's bytes; null until a file was taken in.
    std::uint8_t* bytes() { return reinterpret_cast<std::uint8_t*>(buffer.data()); }
    const std::uint8_t* bytes() const { return reinterpret_cast<const std::uint8_t*>(buffer.data()); }
};

// Fixed places of the layout that is accepted.
constexpr std::uint32_t MODEL_CODE_OFFSET = 0x11F8;   // file offset of the model-code area
constexpr std::uint32_t MODEL_CODE_SIZE = 0x10000;    // the area's length in bytes
constexpr std::uint32_t MODEL_CODE_END = MODEL_CODE_OFFSET + MODEL_CODE_SIZE;  // 70,136

// Reads and validates the named MDL file into image. Step::reported after
// one message, with no image left behind.
[[nodiscard]] Step load_mdl(Diagnostics& diagnostics, FileSystem& files, MdlImage& image, const std::string& name);

// Reads the named file whole through files into image without testing
// anything (the code area stays null). A folder, a pipe or a file longer
// than 32 bits can count is not a model. Step::reported after one message,
// with no image left behind. A buffer that cannot be had is a read error
// with the system's text for "out of memory".
[[nodiscard]] Step read_mdl_file(Diagnostics& diagnostics, FileSystem& files, MdlImage& image,
                                 const std::string& name);

}  // namespace lumora
