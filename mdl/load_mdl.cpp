#include <cerrno>
#include <cstring>

#include "mdl/mdl_layout.h"
#include "platform/file_system.h"
#include "platform/platform.h"

namespace lumora {

namespace {

constexpr std::uint64_t LARGEST_SIZE = 0xFFFFFFFFu;  // the size is kept in 32 bits

}  // namespace

Step read_mdl_file(Diagnostics& diagnostics, FileSystem& files, MdlImage& image, const std::string& name)
{
    image = MdlImage{};  // an image read before is not kept
    // A folder, a file without a length (a pipe) or one too long for any
    // model is not a model; nothing of it is read.
    FileBytes bytes;
    const ReadResult read = files.read_file(name, ReadLimits{LARGEST_SIZE, true, false}, bytes);
    if (read.error == EISDIR || read.error == ESPIPE || read.error == EFBIG) {
        report(diagnostics, MessageId::not_a_model, {name});
        return Step::reported;
    }
    if (read.error != 0) {
        report(diagnostics, read.step == ReadStep::opening ? MessageId::model_open_error : MessageId::model_read_error,
               {name, std::strerror(read.error)});
        if (read.error == EACCES && file_in_use(name)) {
            report(diagnostics, MessageId::file_in_use);
        }
        return Step::reported;
    }
    image.size = static_cast<std::uint32_t>(bytes.size());
    image.buffer = std::move(bytes);
    return Step::done;
}

Step load_mdl(Diagnostics& diagnostics, FileSystem& files, MdlImage& image, const std::string& name)
{
    if (read_mdl_file(diagnostics, files, image, name) != Step::done) {
        return Step::reported;
    }
    const bool accepted_layout = check_structure(image).result == StructureCheck::ok;
    if (accepted_layout && code_is_unmodified(image.bytes() + MODEL_CODE_OFFSET)) {
        image.code_area = image.bytes() + MODEL_CODE_OFFSET;
        return Step::done;
    }
    report(diagnostics, accepted_layout ? MessageId::not_unmodified : MessageId::not_a_model, {name});
    image = MdlImage{};
    return Step::reported;
}

}  // namespace lumora
