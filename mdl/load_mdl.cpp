#include <cerrno>
#include <cstdio>
#include <new>
#include <cstring>

#include "mdl/mdl_layout.h"
#include "platform/platform.h"

namespace lumora {

namespace {

constexpr std::uint64_t LARGEST_SIZE = 0xFFFFFFFFu;  // the size is kept in 32 bits

Step refuse(Diagnostics& diagnostics, MdlImage& image, const std::string& name, MessageId message)
{
    report(diagnostics, message, {name});
    image = MdlImage{};
    return Step::reported;
}

// A buffer of size bytes (one at least), or null when memory is short.
std::unique_ptr<std::uint8_t[]> new_buffer(std::size_t size)
{
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[size > 0 ? size : 1]);
}

}  // namespace

Step read_mdl_file(Diagnostics& diagnostics, MdlImage& image, const std::string& name)
{
    image = MdlImage{};  // an image read before is not kept
    // A folder opens on some systems and not on others; everywhere it is a
    // file without a length, as where it opens.
    FileInfo info{};
    if (file_info(name, true, info) == 0 && info.kind == FileKind::directory) {
        report(diagnostics, MessageId::not_a_model, {name});
        return Step::reported;
    }
    std::FILE* file = open_file(name.c_str(), "rb");
    if (file == nullptr) {
        report(diagnostics, MessageId::model_open_error, {name, std::strerror(errno)});
        return Step::reported;
    }
    std::uint64_t length = 0;
    if (file_length(file, length) != 0 || length > LARGEST_SIZE) {
        // Not a file with a length (a pipe), or too long for any model.
        std::fclose(file);
        report(diagnostics, MessageId::not_a_model, {name});
        return Step::reported;
    }
    image.size = static_cast<std::uint32_t>(length);
    // Not zero-filled: the read below fills every byte or the load fails.
    image.buffer = new_buffer(image.size);
    if (!image.buffer) {
        std::fclose(file);
        image = MdlImage{};
        report(diagnostics, MessageId::model_read_error, {name, std::strerror(ENOMEM)});
        return Step::reported;
    }
    errno = 0;
    const std::size_t got = std::fread(image.buffer.get(), 1, image.size, file);
    if (got != image.size) {
        const int error = errno != 0 ? errno : EIO;
        std::fclose(file);
        image = MdlImage{};
        report(diagnostics, MessageId::model_read_error, {name, std::strerror(error)});
        return Step::reported;
    }
    std::fclose(file);
    return Step::done;
}

Step load_mdl(Diagnostics& diagnostics, MdlImage& image, const std::string& name)
{
    if (read_mdl_file(diagnostics, image, name) != Step::done) {
        return Step::reported;
    }
    if (check_structure(image).result != StructureCheck::ok) {
        return refuse(diagnostics, image, name, MessageId::not_a_model);
    }
    image.code_area = image.buffer.get() + MODEL_CODE_OFFSET;
    if (!code_is_unmodified(image.code_area)) {
        return refuse(diagnostics, image, name, MessageId::not_unmodified);
    }
    return Step::done;
}

}  // namespace lumora
