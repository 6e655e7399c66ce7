#include "mdl/output.h"

#include <cerrno>
#include <cstring>

#include "platform/platform.h"

namespace lumora {

namespace {

constexpr OutputMessages BACKUP_MESSAGES = {
    MessageId::backup_open_error,
    MessageId::backup_write_error,
    MessageId::backup_close_error,
};

constexpr OutputMessages TARGET_MESSAGES = {
    MessageId::target_open_error,
    MessageId::target_write_error,
    MessageId::target_close_error,
};

// One write: where the messages go, what they call the destination, and
// the injected fault.
struct Writing {
    const OutputContext& context;
    const OutputMessages& messages;
    const std::string& name;  // the destination as the user gave it
};

// The injected error for this stage of the write, or 0.
int fault_at(const Writing& w, OutputStage stage)
{
    const OutputFault& fault = w.context.fault;
    const bool hit = fault.stage == stage && (fault.only_name == nullptr || w.name == fault.only_name);
    return hit ? fault.error : 0;
}

bool has_fault(const Writing& w, OutputStage stage)
{
    const OutputFault& fault = w.context.fault;
    return fault.stage == stage && (fault.only_name == nullptr || w.name == fault.only_name);
}

// Prints the message of a failed step and gives its error number, never 0.
int fail(const Writing& w, MessageId message, int error)
{
    if (error == 0) {
        error = EIO;
    }
    report(w.context.diagnostics, message, {w.name, std::strerror(error)});
    return error;
}

// Writes all of the bytes; under an injected write fault half of them reach
// the file before the fault, as on a full disk.
int write_all(const Writing& w, FileHandle file, const std::uint8_t* bytes, std::size_t size)
{
    if (has_fault(w, OutputStage::write)) {
        std::size_t written = 0;
        write_bytes(file, bytes, size / 2, &written);
        return fault_at(w, OutputStage::write);
    }
    return write_bytes(file, bytes, size, nullptr);
}

// True when the file named path is the definition file.
bool is_definition_file(const OutputContext& context, const FileInfo& info)
{
    if (context.definition_name == nullptr) {
        return false;
    }
    FileInfo definition{};
    return file_info(context.definition_name, true, definition) == 0 && same_file(info, definition);
}

// Cuts text to at most length bytes without splitting a UTF-8 character.
std::string cut_to(const std::string& text, std::size_t length)
{
    if (text.size() <= length) {
        return text;
    }
    std::size_t end = length;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0u) == 0x80u) {
        --end;
    }
    return text.substr(0, end);
}

// Creates the temporary file beside destination, ".NAME.veska-XXXXXX" with
// random letters; a name that is taken is tried again with others. A long
// NAME is cut so that the whole stays a name the system takes.
int create_temporary(const std::string& destination, std::string& temporary, FileHandle& file)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const std::string suffix = ".veska-";
    const std::string stem = "." + cut_to(last_component(destination), COMPONENT_MAX - 1 - suffix.size() - 6);
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        std::uint32_t random = random_number();
        temporary = directory_of(destination) + stem + suffix;
        for (int i = 0; i < 6; ++i) {
            temporary += letters[random % (sizeof letters - 1)];
            random /= sizeof letters - 1;
        }
        error = create_temporary_file(temporary, file);
    }
    return error;
}

// What the new file takes over: the permissions and owner of the file it
// replaces, or of the model for a backup; nothing for a new file.
struct Inherited {
    bool present;
    FileInfo from;
};

// Writes the bytes to a new file beside destination and puts it in place of
// destination once it is complete. On any failure the new file is removed
// and the destination is left as it was.
int write_through_temporary(const Writing& w, const std::string& destination, const Inherited& inherited,
                            const std::uint8_t* bytes, std::size_t size)
{
    const OutputMessages& messages = w.messages;
    std::string temporary;
    FileHandle file{};
    const int created = create_temporary(destination, temporary, file);
    if (created != 0) {
        return fail(w, messages.opening, created);
    }
    auto abandon = [&](MessageId message, int error, bool open) {
        if (open) {
            close_file(file);
        }
        remove_file(temporary);
        remove_on_interrupt(nullptr);
        return fail(w, message, error);
    };

    if (inherited.present) {
        // The owner first: a change of owner may take away permission bits
        // that the mode then gives back. Where the process may not set the
        // owner, the file keeps the process's own.
        set_owner(file, inherited.from.owner, inherited.from.group);
        const int mode_error = set_permissions(file, inherited.from.mode);
        if (mode_error != 0) {
            return abandon(messages.opening, mode_error, true);
        }
    }
    const int write_error = write_all(w, file, bytes, size);
    if (write_error != 0) {
        return abandon(messages.writing, write_error, true);
    }
    const int sync_error = has_fault(w, OutputStage::sync) ? fault_at(w, OutputStage::sync) : flush_to_disk(file);
    if (sync_error != 0 || has_fault(w, OutputStage::sync)) {
        return abandon(messages.closing, sync_error, true);
    }
    if (has_fault(w, OutputStage::close)) {
        return abandon(messages.closing, fault_at(w, OutputStage::close), true);
    }
    const int close_error = close_file(file);
    if (close_error != 0) {
        return abandon(messages.closing, close_error, false);
    }
    const int rename_error =
        has_fault(w, OutputStage::rename) ? fault_at(w, OutputStage::rename) : replace_file(temporary, destination);
    if (rename_error != 0 || has_fault(w, OutputStage::rename)) {
        return abandon(messages.closing, rename_error, false);
    }
    remove_on_interrupt(nullptr);
    // Make the replacement itself durable; the file is complete either way.
    flush_directory(directory_of(destination));
    return 0;
}

// Writes straight to a destination that is not a regular file (a device),
// where nothing could be put in its place.
int write_directly(const Writing& w, const std::string& destination, const std::uint8_t* bytes, std::size_t size)
{
    const OutputMessages& messages = w.messages;
    FileHandle file{};
    const int opened = open_for_writing(destination, file);
    if (opened != 0) {
        return fail(w, messages.opening, opened);
    }
    const int write_error = write_all(w, file, bytes, size);
    if (write_error != 0) {
        close_file(file);
        return fail(w, messages.writing, write_error);
    }
    const int close_error = close_file(file);
    if (close_error != 0 || has_fault(w, OutputStage::close)) {
        return fail(w, messages.closing, close_error != 0 ? close_error : fault_at(w, OutputStage::close));
    }
    return 0;
}

}  // namespace

std::string backup_name(const char* mdl_name)
{
    const std::string name(mdl_name);
    // An optional drive letter with its colon comes first; the last path
    // component begins after the last separator.
    const std::size_t drive = name.size() >= 2 && name[1] == ':' ? 2 : 0;
    std::size_t component = drive;
    for (std::size_t i = drive; i < name.size(); ++i) {
        if (name[i] == '/' || name[i] == '\\') {
            component = i + 1;
        }
    }
    const std::size_t dot = name.find_last_of('.');
    const std::size_t stem_end = dot != std::string::npos && dot >= component ? dot : name.size();
    return name.substr(0, stem_end) + ".MD$";
}

int write_replacing(const OutputContext& context, const OutputMessages& messages, const char* name,
                    const std::uint8_t* buffer, std::size_t size)
{
    const std::string shown(name);
    const Writing w{context, messages, shown};
    if (has_fault(w, OutputStage::open)) {
        return fail(w, messages.opening, fault_at(w, OutputStage::open));
    }
    // A link is followed, so that a link to a model keeps pointing at the
    // replaced model.
    const std::string destination = resolve_links(shown);
    FileInfo existing{};
    const int looked = file_info(destination, true, existing);
    if (looked != 0) {
        // A name the system cannot take (too long, a file where a folder
        // must be, a loop of links) fails here, as opening it would, rather
        // than after all the bytes went to a temporary file.
        return fail(w, messages.opening, looked);
    }
    if (is_definition_file(context, existing)) {
        return fail(w, messages.opening, EEXIST);
    }
    switch (existing.kind) {
    case FileKind::directory:
        return fail(w, messages.opening, EISDIR);
    case FileKind::other:
        return write_directly(w, destination, buffer, size);
    default:
        return write_through_temporary(w, destination, Inherited{existing.kind == FileKind::regular, existing}, buffer,
                                       size);
    }
}

int write_target(const OutputContext& context, const char* target_name, const std::uint8_t* buffer,
                 std::uint32_t size)
{
    return write_replacing(context, TARGET_MESSAGES, target_name, buffer, size);
}

int write_backup(const OutputContext& context, const char* mdl_name, const std::uint8_t* buffer,
                 std::uint32_t size)
{
    const std::string name = backup_name(mdl_name);
    const Writing w{context, BACKUP_MESSAGES, name};
    // A backup name that leads to the model itself (a model named plane.MD$,
    // or a backup name linked to the model) would hold the result instead of
    // the model once the result replaces the model: the only copy of the
    // model would be lost. One that leads to the definition file would
    // replace it before it is read. No backup is made, and the run stops.
    FileInfo model{};
    FileInfo backup{};
    const bool model_known = file_info(mdl_name, true, model) == 0;
    if (file_info(name, true, backup) == 0 && ((model_known && same_file(model, backup)) ||
                                               is_definition_file(context, backup))) {
        return fail(w, BACKUP_MESSAGES.opening, EEXIST);
    }
    if (has_fault(w, OutputStage::open)) {
        return fail(w, BACKUP_MESSAGES.opening, fault_at(w, OutputStage::open));
    }
    // Whatever stands at the backup name itself (a file, a link, a pipe, a
    // device) is replaced by the new file, never written through.
    FileInfo standing{};
    const int looked = file_info(name, false, standing);
    if (looked != 0) {
        return fail(w, BACKUP_MESSAGES.opening, looked);
    }
    if (standing.kind == FileKind::directory) {
        return fail(w, BACKUP_MESSAGES.opening, EISDIR);
    }
    const int result = write_through_temporary(w, name, Inherited{model_known, model}, buffer, size);
    if (result == 0) {
        report(context.diagnostics, MessageId::backup_created, {name});
    }
    return result;
}

}  // namespace lumora
