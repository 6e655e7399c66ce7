// What other users can do with the files the programs write, on real files
// and as real users: access control lists kept, owner and group kept one by
// one where they can be, links in shared folders followed only as the
// kernel's protection of them would, and standard output that cannot be
// written. The tests that act as other users need the administrator and
// are skipped without; those of access control lists need setfacl.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/runner.h"
#include "tests/support/special_files.h"
#include "tests/support/worked_example.h"
#include "tools/mdl_builder/mdl_builder.h"

namespace lumora {

namespace {

namespace fs = std::filesystem;

const Bytes OLD = {'o', 'l', 'd', '\n'};
const char NO_BACKUP[] = "No further processing due to non-available MDL backup file.\n";
const char SETPRIV[] = "/usr/bin/setpriv";

bool shell(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }

class PrivateFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        write_file_bytes(model_, sample_);
        write_file_text(definition_, worked_definition(1));
    }

    // The access control list of the file at path as getfacl shows it, or
    // "" when there is none to show.
    std::string list_of(const std::string& path) const
    {
        const std::string shown = dir_.file("list.txt");
        return shell("getfacl -n --omit-header '" + path + "' > '" + shown + "'") ? read_file_text(shown) : "";
    }

    // veska run by the user 4322 (group 4322), setpriv's groups option
    // saying which further groups it has.
    int run_as_other_user(const std::string& groups, const std::vector<std::string>& arguments)
    {
        std::vector<std::string> words = {"--reuid=4322", "--regid=4322", groups, VESKA_PROGRAM};
        words.insert(words.end(), arguments.begin(), arguments.end());
        return run_program(SETPRIV, words, dir_.file("output.txt"));
    }

    ScratchDir dir_;
    const Bytes sample_ = mdl_builder::build_sample_mdl();
    const std::string model_ = dir_.file("plane.mdl");
    const std::string backup_ = dir_.file("plane.MD$");
    const std::string definition_ = dir_.file("lights.cfg");
};

// A backup takes the model's list, a replaced file keeps its own, and a new
// file gets what its folder gives a new file; the group bits stand for the
// list's mask, not for the group.
TEST_F(PrivateFiles, AccessControlListsAreKept)
{
    if (!shell("setfacl -m u:4322:rw,g::- '" + model_ + "'") || !set_mode(model_, 0600) ||
        !shell("setfacl -m u:4322:rw '" + model_ + "'")) {
        GTEST_SKIP() << "setfacl gives no access control list here";
    }
    const std::string model_list = list_of(model_);
    ASSERT_NE(model_list.find("group::---"), std::string::npos) << model_list;
    const std::string target = dir_.file("target.mdl");
    write_file_bytes(target, OLD);
    ASSERT_TRUE(shell("setfacl -m u:4323:r,g:5000:rw,o::- '" + target + "'"));
    const std::string target_list = list_of(target);
    const std::string shared = dir_.file("shared");
    fs::create_directory(shared);
    ASSERT_TRUE(shell("setfacl -d -m u:4322:rw,g:5000:r,m::rw '" + shared + "'"));
    write_file_bytes(shared + "/made-by-the-test", OLD);
    const std::string new_file_list = list_of(shared + "/made-by-the-test");

    RunOutcome run = run_veska_in_process({model_, definition_});
    ASSERT_EQ(run.exit_code, 0) << run.output;
    EXPECT_EQ(list_of(backup_), model_list);
    EXPECT_EQ(list_of(model_), model_list);
    EXPECT_EQ(ownership_of(model_).mode, 0660u);  // the mask's bits

    write_file_bytes(model_, sample_);
    run = run_veska_in_process({model_, target, definition_});
    ASSERT_EQ(run.exit_code, 0) << run.output;
    EXPECT_EQ(list_of(target), target_list);
    run = run_veska_in_process({model_, shared + "/new.mdl", definition_});
    ASSERT_EQ(run.exit_code, 0) << run.output;
    EXPECT_EQ(list_of(shared + "/new.mdl"), new_file_list);
    run = run_inspect_in_process({"--preview", definition_, shared + "/new.svg"});
    ASSERT_EQ(run.exit_code, 0) << run.output;
    EXPECT_EQ(list_of(shared + "/new.svg"), new_file_list);
}

// A model without a list of its own gives the new file none either: the
// entries of its folder's inherited list, which the new file got when it
// was created, do not let another user read the model or its backup.
TEST_F(PrivateFiles, AFolderInheritedListDoesNotReachAReplacedFile)
{
    const std::string shared = dir_.file("shared");
    fs::create_directory(shared);
    if (!shell("setfacl -d -m u:4322:rw '" + shared + "'")) {
        GTEST_SKIP() << "setfacl gives no access control list here";
    }
    const std::string model = shared + "/plane.mdl";
    write_file_bytes(model, sample_);
    ASSERT_TRUE(shell("setfacl -b '" + model + "'") && set_mode(model, 0640));
    const std::string bits_only = list_of(model);
    ASSERT_EQ(bits_only.find("user:4322"), std::string::npos) << bits_only;

    const RunOutcome run = run_veska_in_process({model, definition_});
    ASSERT_EQ(run.exit_code, 0) << run.output;
    const RunOutcome strip = run_inspect_in_process({"--strip", model});
    ASSERT_EQ(strip.exit_code, 0) << strip.output;
    for (const std::string& written : {model, shared + "/plane.MD$"}) {
        EXPECT_EQ(list_of(written), bits_only) << written;
        EXPECT_EQ(ownership_of(written).mode, 0640u) << written;
        if (can_give_files_away() && file_exists(SETPRIV)) {
            EXPECT_NE(run_program(SETPRIV, {"--reuid=4322", "--regid=4322", "--clear-groups", "/bin/cat", written},
                                  dir_.file("output.txt")),
                      0)
                << written;
        }
    }
}

// Where the model's list cannot be given to the new file (the backup on a
// file system without lists, reached through a link in place), the new
// file is its owner's alone, and a note says so after the step's output: a
// user the list denied does not gain access as "other".
TEST_F(PrivateFiles, AListThatCannotBeGivenLeavesTheOwnerAlone)
{
    if (!shell("setfacl -m u:4322:---,o::r '" + model_ + "'") || !set_mode(model_, 0644) ||
        !shell("setfacl -m u:4322:--- '" + model_ + "'")) {
        GTEST_SKIP() << "setfacl gives no access control list here";
    }
    const std::string bare = dir_.file("bare");
    fs::create_directory(bare);
    if (!shell("mount -t ramfs lumora-test '" + bare + "'")) {
        GTEST_SKIP() << "no file system without access control lists can be mounted here (needs the administrator)";
    }
    const std::string model_list = list_of(model_);
    const std::string link = bare + "/plane.mdl";
    const bool linked = make_symlink(model_, link);
    const RunOutcome run = run_veska_in_process({link, definition_});
    const bool backup_there = file_exists(bare + "/plane.MD$");
    const Ownership backup = backup_there ? ownership_of(bare + "/plane.MD$") : Ownership{};
    fs::remove_all(bare + "/plane.MD$");
    fs::remove_all(link);
    ASSERT_TRUE(shell("umount '" + bare + "'"));
    ASSERT_TRUE(linked);
    ASSERT_EQ(run.exit_code, 0) << run.output;
    EXPECT_NE(run.output.find("Backup MDL file " + bare + "/plane.MD$ created.\nNote: " + bare +
                              "/plane.MD$ could not keep its access control list; only its owner may now read it.\n"),
              std::string::npos)
        << run.output;
    ASSERT_TRUE(backup_there);
    EXPECT_EQ(backup.mode, 0600u);
    EXPECT_EQ(list_of(model_), model_list);
}

// Owner and group are kept one by one: a user who may not keep the owner
// may still keep the group; where the group cannot be kept either, the
// group is given nothing. The user may write the model (through its group
// or as anyone), or it would be refused.
TEST_F(PrivateFiles, OwnerAndGroupAreKeptWhereEachCanBe)
{
    if (!can_give_files_away() || !file_exists(SETPRIV)) {
        GTEST_SKIP() << "acting as other users needs the administrator and setpriv";
    }
    const struct {
        const char* groups;
        std::uint32_t mode;
        Ownership expected;
    } cases[] = {
        {"--groups=5000", 0660, {0660, 4322, 5000}},
        {"--clear-groups", 0646, {0604, 4322, 4322}},
        // The old group's members, refused before, are not let in as others.
        {"--clear-groups", 0606, {0600, 4322, 4322}},
    };
    ASSERT_TRUE(set_mode(dir_.path(), 0777));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.groups);
        std::error_code ignored;
        fs::remove(backup_, ignored);
        write_file_bytes(model_, sample_);
        ASSERT_TRUE(set_owner(model_, 4321, 5000));
        ASSERT_TRUE(set_mode(model_, c.mode));
        EXPECT_EQ(run_as_other_user(c.groups, {model_, definition_}), 0) << read_file_text(dir_.file("output.txt"));
        for (const std::string& written : {model_, backup_}) {
            const Ownership now = ownership_of(written);
            EXPECT_EQ(now.owner, c.expected.owner) << written;
            EXPECT_EQ(now.group, c.expected.group) << written;
            EXPECT_EQ(now.mode, c.expected.mode) << written;
        }
    }
}

// A link in a sticky folder that all may write to is followed only when it
// is the runner's own or the folder owner's, each link of a chain and a
// link to a folder alike; otherwise nothing is written.
TEST_F(PrivateFiles, LinksInSharedFoldersAreFollowedOnlyAsTheKernelWould)
{
    if (!can_give_files_away()) {
        GTEST_SKIP() << "links of other users need the administrator";
    }
    const std::string sticky = dir_.file("sticky");
    const std::string theirs = dir_.file("theirs");
    const std::string open = dir_.file("open");
    const std::string inner = dir_.file("inner");
    for (const std::string& folder : {sticky, theirs, open, inner}) {
        fs::create_directory(folder);
    }
    ASSERT_TRUE(set_mode(sticky, 01777) && set_mode(theirs, 01777) && set_mode(open, 0777));
    ASSERT_TRUE(set_owner(theirs, 4322, 4322));
    const std::string private_file = dir_.file("private.dat");

    struct Link {
        std::string at;
        std::string to;
        std::uint32_t owner;
    };
    const struct {
        const char* title;
        std::vector<Link> links;
        std::string target;
        bool followed;
    } cases[] = {
        {"another user's link", {{sticky + "/out.mdl", private_file, 4322}}, sticky + "/out.mdl", false},
        {"the runner's own link", {{sticky + "/out.mdl", private_file, 0}}, sticky + "/out.mdl", true},
        {"the folder owner's link", {{theirs + "/out.mdl", private_file, 4322}}, theirs + "/out.mdl", true},
        {"a folder without the sticky bit", {{open + "/out.mdl", private_file, 4322}}, open + "/out.mdl", true},
        {"a chain through another user's link",
         {{sticky + "/a.mdl", "b.mdl", 0}, {sticky + "/b.mdl", private_file, 4322}},
         sticky + "/a.mdl",
         false},
        {"another user's link to a folder", {{sticky + "/folder", inner, 4322}}, sticky + "/folder/private.dat", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        write_file_bytes(private_file, OLD);
        write_file_bytes(inner + "/private.dat", OLD);
        for (const Link& link : c.links) {
            ASSERT_TRUE(make_symlink(link.to, link.at));
            ASSERT_TRUE(set_owner(link.at, link.owner, link.owner));
        }
        const std::string reached = c.target.find("/folder/") != std::string::npos ? inner + "/private.dat"
                                                                                    : private_file;
        const RunOutcome run = run_veska_in_process({model_, c.target, definition_});
        if (c.followed) {
            EXPECT_EQ(run.exit_code, 0) << run.output;
            EXPECT_EQ(read_file_bytes(reached).size(), sample_.size());
        } else {
            EXPECT_EQ(run.exit_code, EACCES);
            EXPECT_TRUE(ends_with(run.output, "Error opening target MDL file " + c.target + ": Permission denied\n"))
                << run.output;
            EXPECT_EQ(read_file_bytes(reached), OLD);
            const RunOutcome preview = run_inspect_in_process({"--preview", definition_, c.target});
            EXPECT_EQ(preview.exit_code, 1);
            EXPECT_TRUE(ends_with(preview.output, "Error opening preview file " + c.target + ": Permission denied\n"))
                << preview.output;
            EXPECT_EQ(read_file_bytes(reached), OLD);
        }
        for (const Link& link : c.links) {
            EXPECT_TRUE(fs::is_symlink(link.at));
            fs::remove(link.at);
        }
        for (const std::string& folder : {sticky, theirs, open}) {
            EXPECT_TRUE(fs::is_empty(folder)) << folder;
        }
    }

    // In place, the model's name being such a link: the backup step stops
    // the run before anything is written.
    const std::string link = sticky + "/plane.mdl";
    ASSERT_TRUE(make_symlink(model_, link));
    ASSERT_TRUE(set_owner(link, 4322, 4322));
    const RunOutcome run = run_veska_in_process({link, definition_});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(ends_with(run.output, "Error opening backup file " + sticky + "/plane.MD$: Permission denied\n" +
                                          NO_BACKUP))
        << run.output;
    EXPECT_EQ(read_file_bytes(model_), sample_);
    EXPECT_EQ(folder_entries(sticky), std::vector<std::string>{"plane.mdl"});
}

// A program that cannot write its standard output says so on standard
// error and ends with 1, except veska's runs, whose exit code tells what
// became of the model.
TEST_F(PrivateFiles, StandardOutputThatCannotBeWrittenIsNoSuccess)
{
    const std::string full = full_device();
    if (full.empty()) {
        GTEST_SKIP() << "no device that is always full here";
    }
    const std::string processed = dir_.file("processed.mdl");
    ASSERT_EQ(run_veska_in_process({model_, processed, definition_}).exit_code, 0);
    const std::string veska_error = std::string("veska: error writing standard output: ") + std::strerror(ENOSPC) + "\n";
    const std::string inspect_error =
        std::string("veska-inspect: error writing standard output: ") + std::strerror(ENOSPC) + "\n";
    const struct {
        const char* program;
        std::vector<std::string> arguments;
        int exit_code;         // with an output that takes everything
        std::string message;  // on standard error when it takes nothing
    } cases[] = {
        {VESKA_PROGRAM, {"--help"}, 0, veska_error},
        {VESKA_PROGRAM, {"--version"}, 0, veska_error},
        {VESKA_PROGRAM, {model_, dir_.file("lit.mdl"), definition_}, 0, ""},
        {VESKA_INSPECT_PROGRAM, {model_}, 0, inspect_error},
        {VESKA_INSPECT_PROGRAM, {"--check", definition_}, 0, inspect_error},
        {VESKA_INSPECT_PROGRAM, {"--help"}, 0, inspect_error},
        {VESKA_INSPECT_PROGRAM, {"--version"}, 0, inspect_error},
        {VESKA_INSPECT_PROGRAM, {"--strip", processed, dir_.file("stripped.mdl")}, 0, inspect_error},
        {VESKA_INSPECT_PROGRAM, {"--preview", definition_, dir_.file("lights.svg")}, 0, inspect_error},
        {VESKA_INSPECT_PROGRAM, {"--bad-option"}, 2, inspect_error},
    };
    const std::string errors = dir_.file("errors.txt");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.program) + " " + c.arguments.front());
        EXPECT_EQ(run_program(c.program, c.arguments, dir_.file("output.txt"), errors), c.exit_code);
        EXPECT_EQ(read_file_text(errors), "");
        EXPECT_EQ(run_program(c.program, c.arguments, full, errors), c.message.empty() ? c.exit_code : 1);
        EXPECT_EQ(read_file_text(errors), c.message);
    }
    EXPECT_EQ(read_file_bytes(dir_.file("stripped.mdl")), sample_);
}

}  // namespace

}  // namespace lumora
