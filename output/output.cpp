#include "output/output.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>

#include "platform/file_system.h"
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

constexpr std::uint32_t GROUP_BITS = 0070;
constexpr std::uint32_t OTHER_BITS = 0007;
constexpr std::uint32_t SET_USER_ID = 04000;
constexpr std::uint32_t SET_GROUP_ID = 02000;
constexpr std::uint32_t OWNER_WRITE = 0200;

// One write: where the messages go (and the file operations), and what
// they call the destination.
struct Writing {
    const OutputContext& context;
    const OutputMessages& messages;
    const std::string& name;  // the destination as the user gave it
};

// Prints the message of a failed step and gives its error number, never 0.
// A file that another program holds is named as such, so that the user
// knows what to close.
int fail(const Writing& w, MessageId message, int error)
{
    if (error == 0) {
        error = EIO;
    }
    report(w.context.diagnostics, message, {w.name, std::strerror(error)});
    if (error == EACCES && file_in_use(w.name)) {
        report(w.context.diagnostics, MessageId::file_in_use);
    }
    return error;
}

// The opening step's test of an existing regular file that is to be
// replaced (info tells what stands at existing; anything else passes): the
// file is opened for writing as the destination of a write would be, so
// that a file its user made read-only, or that another program holds
// without sharing writing, is refused before anything is written, although
// the bytes go to a new file that takes its place.
int refuse_unwritable(const Writing& w, const std::string& existing, const FileInfo& info)
{
    const int error = info.kind == FileKind::regular ? w.context.files.check_writable(existing) : 0;
    return error == 0 ? 0 : fail(w, w.messages.opening, error);
}

// True when the file named path is the definition file.
bool is_definition_file(const OutputContext& context, const FileInfo& info)
{
    if (context.definition_name == nullptr) {
        return false;
    }
    FileInfo definition{};
    return context.files.file_info(context.definition_name, true, definition) == 0 && same_file(info, definition);
}

// Refuses (EACCES) to write into a file of another user's making in a
// sticky folder that all may write to: a regular file or a pipe owned by
// neither the runner nor the folder's owner, which the kernel's protection
// of such files would not open for the runner either. 0 where the file may
// be written.
int refuse_planted(FileSystem& files, const std::string& path, const FileInfo& info)
{
    if ((info.kind != FileKind::regular && info.kind != FileKind::other) || info.owner == effective_user()) {
        return 0;
    }
    FileInfo folder{};
    const std::string folder_name = directory_of(path);
    if (files.file_info(folder_name.empty() ? "." : folder_name, true, folder) != 0) {
        return 0;  // what cannot be looked at is left to the steps that follow
    }
    const bool shared = (folder.mode & 01000) != 0 && (folder.mode & 0002) != 0;
    return shared && info.owner != folder.owner ? EACCES : 0;
}

// What the given name reaches where it is not destination, the file at
// path_followed, the path that the walk of its links found: a link of the
// system's own to an open file (/proc/self/fd/N, /dev/stdout) reaches a pipe
// or a deleted file that no path names. Kind missing where the two are one.
FileInfo reached_elsewhere(FileSystem& files, const std::string& name, const std::string& path_followed,
                           const FileInfo& destination)
{
    FileInfo reached{};
    if (path_followed == name || files.file_info(name, true, reached) != 0 || reached.kind == FileKind::missing ||
        same_file(reached, destination)) {
        return FileInfo{};  // a name without links reaches its own path
    }
    return reached;
}

// Creates a temporary file named prefix and six random letters; a name that
// is taken is tried again with others.
int create_named(const std::string& prefix, TemporaryFile& temporary)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device random_device;
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        std::uint32_t random = static_cast<std::uint32_t>(random_device());
        std::string name;
        name.reserve(prefix.size() + 6);
        name += prefix;
        for (int i = 0; i < 6; ++i) {
            name += letters[random % (sizeof letters - 1)];
            random /= sizeof letters - 1;
        }
        error = temporary.create(name);
    }
    return error;
}

// Creates the temporary file beside destination, ".NAME.veska-XXXXXX", so
// that a file left by a kill tells whose it was; where the system takes no
// name that long, ".veska-XXXXXX".
int create_temporary(const std::string& destination, TemporaryFile& temporary)
{
    const std::string folder = directory_of(destination);
    // NAME is the last component: what follows the folder.
    std::string prefix;
    prefix.reserve(destination.size() + 8);
    prefix.append(folder).append(1, '.').append(destination, folder.size()).append(".veska-");
    const int error = create_named(prefix, temporary);
    return error == ENAMETOOLONG ? create_named(folder + ".veska-", temporary) : error;
}

// Whose permissions the new file takes: those of an existing file (the one
// it replaces, or the model for a backup), or else a new file's.
struct Predecessor {
    bool present;
    FileInfo info;     // its owner, group and permission bits
    std::string name;  // where its access control list is read
};

// Gives the complete new file the owner, group, access control list and
// permission bits it is meant to have. The owner comes first: a change of
// owner takes away the set-ID bits that the permission bits then give back.
// What cannot be kept is given up towards less access, never more:
// - where the group cannot be kept, the group bits are cleared, and the
//   others keep only what the old group had too, so that neither another
//   group nor the old group's members through "other" gain access;
// - where the existing file's list cannot be read or given (list_lost
//   set), only the owner keeps access, so that no entry that denied
//   someone is lost;
// - where the existing file has no list, the new file gets none either
//   (not the entries that its folder's inherited list gave it at its
//   creation); where they cannot be taken away, the group bits, which then
//   stand for their mask, are cleared;
// - where a new file's inherited list cannot be given, its group bits are
//   cleared.
// Gives the error of the last step, which the write cannot do without.
int give_permissions(FileSystem& files, FileHandle file, const std::string& destination,
                     const Predecessor& predecessor, bool& list_lost)
{
    Permissions wanted{};
    bool group_kept = true;
    bool group_bits_kept = true;
    list_lost = false;
    if (predecessor.present) {
        wanted.mode = predecessor.info.mode;
        if (files.set_owner(file, predecessor.info.owner) != 0) {
            wanted.mode &= ~SET_USER_ID;
        }
        if (files.set_group(file, predecessor.info.group) != 0) {
            wanted.mode &= ~SET_GROUP_ID;
            group_kept = false;
        }
        if (files.access_control(predecessor.name, wanted.access_control) != 0) {
            wanted.access_control.clear();
            list_lost = true;
        } else if (files.set_access_control(file, wanted.access_control) != 0) {
            group_bits_kept = !wanted.access_control.empty();
            list_lost = !wanted.access_control.empty();
        }
    } else if (files.new_file_permissions(directory_of(destination), wanted) != 0) {
        // What the folder would give is unknown: its owner alone.
        wanted = Permissions{0600, {}};
    } else if (!wanted.access_control.empty() && files.set_access_control(file, wanted.access_control) != 0) {
        group_bits_kept = false;
    }
    if (!group_kept) {
        wanted.mode &= ~(GROUP_BITS | OTHER_BITS) | (predecessor.info.mode & GROUP_BITS) >> 3;
    }
    if (!group_kept || !group_bits_kept) {
        wanted.mode &= ~GROUP_BITS;
    }
    if (list_lost) {
        wanted.mode &= ~(GROUP_BITS | OTHER_BITS);
    }
    return files.set_permissions(file, wanted.mode);
}

// Writes the bytes to a new file beside destination and puts it in place of
// destination once it is complete. On any failure the new file is removed
// and the destination is left as it was. list_lost tells that the new file
// could not get the access control list it was meant to have.
int write_through_temporary(const Writing& w, const std::string& destination, const Predecessor& predecessor,
                            const std::uint8_t* bytes, std::size_t size, bool& list_lost)
{
    const OutputMessages& messages = w.messages;
    FileSystem& files = w.context.files;
    // Removed again, unless it was put in place, when this function ends.
    TemporaryFile temporary(files);
    const int created = create_temporary(destination, temporary);
    if (created != 0) {
        return fail(w, messages.opening, created);
    }
    const FileHandle file = temporary.file();
    const int write_error = files.write(file, bytes, size);
    if (write_error != 0) {
        return fail(w, messages.writing, write_error);
    }
    // The steps that complete the file, in order; each fails as closing it.
    int closing_error = give_permissions(files, file, destination, predecessor, list_lost);
    if (closing_error == 0) {
        closing_error = files.flush_to_disk(file);
    }
    if (closing_error == 0) {
        closing_error = temporary.close();
    }
    if (closing_error == 0) {
        closing_error = temporary.put_in_place(destination);
    }
    if (closing_error != 0) {
        return fail(w, messages.closing, closing_error);
    }
    // Make the replacement itself durable; the file is complete either way.
    files.flush_directory(directory_of(destination));
    return 0;
}

// Writes straight to a destination that is not a regular file (a device, a
// pipe), where nothing could be put in its place.
int write_directly(const Writing& w, const std::string& destination, const std::uint8_t* bytes, std::size_t size)
{
    FileSystem& files = w.context.files;
    FileHandle file{};
    const int opened = files.open_for_writing(destination, file);
    if (opened != 0) {
        return fail(w, w.messages.opening, opened);
    }
    // Closed whether or not the bytes were written; a failed write is told
    // before a failed close.
    const int write_error = files.write(file, bytes, size);
    const int close_error = files.close(file);
    if (write_error != 0) {
        return fail(w, w.messages.writing, write_error);
    }
    return close_error != 0 ? fail(w, w.messages.closing, close_error) : 0;
}

}  // namespace

std::string backup_name(const char* mdl_name)
{
    std::string name = name_as_resolved(mdl_name);
    // An optional drive letter with its colon comes first; the last path
    // component begins after the last separator.
    const std::size_t drive = name.size() >= 2 && name[1] == ':' ? 2 : 0;
    const std::size_t separator = name.find_last_of("/\\");
    const std::size_t component = std::max(drive, separator == std::string::npos ? 0 : separator + 1);
    const std::size_t dot = name.find_last_of('.');
    const std::size_t stem_end = dot != std::string::npos && dot >= component ? dot : name.size();
    name.resize(stem_end);
    name += ".MD$";
    return name;
}

int write_replacing(const OutputContext& context, const OutputMessages& messages, const char* name,
                    const std::uint8_t* buffer, std::size_t size)
{
    const std::string shown(name);
    const Writing w{context, messages, shown};
    // A link is followed, so that a link to a model keeps pointing at the
    // replaced model; but not one that another user may have put in a
    // shared folder.
    std::string destination;
    const int followed = context.files.follow_links(shown, destination);
    if (followed != 0) {
        return fail(w, messages.opening, followed);
    }
    FileInfo existing{};
    const int looked = context.files.file_info(destination, true, existing);
    if (looked != 0) {
        // A name the system cannot take (too long, a file where a folder
        // must be, a loop of links) fails here, as opening it would, rather
        // than after all the bytes went to a temporary file.
        return fail(w, messages.opening, looked);
    }
    if (is_definition_file(context, existing)) {
        return fail(w, messages.opening, EEXIST);
    }
    // What no path names cannot be replaced: a pipe or device is written
    // directly, a regular file is refused.
    const FileInfo reached = reached_elsewhere(context.files, shown, destination, existing);
    if (reached.kind == FileKind::other) {
        return write_directly(w, shown, buffer, size);
    }
    if (reached.kind != FileKind::missing) {
        return fail(w, messages.opening, reached.kind == FileKind::directory ? EISDIR : EACCES);
    }
    const int planted = refuse_planted(context.files, destination, existing);
    if (planted != 0) {
        return fail(w, messages.opening, planted);
    }
    if (existing.kind == FileKind::directory) {
        return fail(w, messages.opening, EISDIR);
    }
    if (existing.kind == FileKind::other) {
        return write_directly(w, destination, buffer, size);
    }
    if (const int refused = refuse_unwritable(w, destination, existing); refused != 0) {
        return refused;
    }
    bool list_lost = false;
    const int result = write_through_temporary(
        w, destination, Predecessor{existing.kind == FileKind::regular, existing, destination}, buffer, size, list_lost);
    if (result == 0 && list_lost) {
        report(context.diagnostics, MessageId::access_list_not_kept, {shown});
    }
    return result;
}

int write_target(const OutputContext& context, const char* target_name, const std::uint8_t* buffer,
                 std::uint32_t size)
{
    return write_replacing(context, TARGET_MESSAGES, target_name, buffer, size);
}

int write_backup(const OutputContext& context, const char* mdl_name, const std::uint8_t* buffer,
                 std::uint32_t size)
{
    FileSystem& files = context.files;
    const std::string name = backup_name(mdl_name);
    const Writing w{context, BACKUP_MESSAGES, name};
    // The model is replaced later in the run; a model name that the target
    // may not follow stops the run here, before anything is written.
    std::string model_file;
    const int followed = files.follow_links(mdl_name, model_file);
    if (followed != 0) {
        return fail(w, BACKUP_MESSAGES.opening, followed);
    }
    // A backup name that leads to the model itself (a model named plane.MD$,
    // or a backup name linked to the model) would hold the result instead of
    // the model once the result replaces the model: the only copy of the
    // model would be lost. One that leads to the definition file would
    // replace it before it is read. No backup is made, and the run stops.
    FileInfo model{};
    FileInfo backup{};
    const bool model_known = files.file_info(model_file, true, model) == 0 && model.kind != FileKind::missing;
    if (files.file_info(name, true, backup) == 0 &&
        ((model_known && same_file(model, backup)) || is_definition_file(context, backup))) {
        return fail(w, BACKUP_MESSAGES.opening, EEXIST);
    }
    // Whatever stands at the backup name itself (a file, a link, a pipe, a
    // device) is replaced by the new file, never written through.
    FileInfo standing{};
    const int looked = files.file_info(name, false, standing);
    if (looked != 0) {
        return fail(w, BACKUP_MESSAGES.opening, looked);
    }
    if (standing.kind == FileKind::directory) {
        return fail(w, BACKUP_MESSAGES.opening, EISDIR);
    }
    // Another user's file in a sticky folder at the backup name is not
    // replaced; nor is the model itself later, so the run stops here.
    const int planted = refuse_planted(files, name, standing);
    const int model_planted = model_known ? refuse_planted(files, model_file, model) : 0;
    if (planted != 0 || model_planted != 0) {
        return fail(w, BACKUP_MESSAGES.opening, planted != 0 ? planted : model_planted);
    }
    if (const int refused = refuse_unwritable(w, name, standing); refused != 0) {
        return refused;
    }
    // The backup is never read-only, whatever the model is: the next run
    // must be able to replace it.
    model.mode |= OWNER_WRITE;
    bool list_lost = false;
    const int result =
        write_through_temporary(w, name, Predecessor{model_known, model, model_file}, buffer, size, list_lost);
    if (result == 0) {
        report(context.diagnostics, MessageId::backup_created, {name});
    }
    if (result == 0 && list_lost) {
        report(context.diagnostics, MessageId::access_list_not_kept, {name});
    }
    return result;
}

}  // namespace lumora
