// Files dropped onto veska's own window: which is the model, and the
// messages broken at blanks with their shared folder named once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window/dropped_files.h"

namespace lumora {

namespace {

TEST(DroppedFiles, TheModelComesFirstWhateverTheOrder)
{
    struct Case {
        std::vector<std::string> names;
        std::vector<bool> is_model;
        DropKind kind;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {{"a.mdl", "a.cfg"}, {true, false}, DropKind::model_and_definition, {"a.mdl", "a.cfg"}},
        {{"a.cfg", "a.mdl"}, {false, true}, DropKind::model_and_definition, {"a.mdl", "a.cfg"}},
        // Two models or two definitions: nothing to choose, as given.
        {{"a.mdl", "b.mdl"}, {true, true}, DropKind::as_given, {"a.mdl", "b.mdl"}},
        {{"a.cfg", "b.cfg"}, {false, false}, DropKind::as_given, {"a.cfg", "b.cfg"}},
        {{"a.mdl"}, {true}, DropKind::model_alone, {"a.mdl"}},
        {{"a.cfg"}, {false}, DropKind::definition_alone, {"a.cfg"}},
        {{"a.cfg", "b.mdl", "c.mdl"}, {false, true, false}, DropKind::as_given, {"a.cfg", "b.mdl", "c.mdl"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.names[0] + " " + std::to_string(c.names.size()));
        const Drop drop = read_drop(c.names, c.is_model);
        EXPECT_EQ(drop.kind, c.kind);
        EXPECT_EQ(drop.arguments, c.arguments);
    }
}

TEST(DroppedFiles, LinesBreakAtBlanksNeverInAWord)
{
    struct Case {
        const char* text;
        std::size_t width;
        const char* wrapped;
    };
    const Case cases[] = {
        {"space needed=1234, space available=99.\n", 20, "space needed=1234,\nspace available=99.\n"},
        {"exactly ten\n", 11, "exactly ten\n"},
        {"exactly ten\n", 10, "exactly\nten\n"},
        // A word wider than the window stays whole on its own line.
        {"a C:\\a-very-long-folder-name\\plane.mdl b\n", 10, "a\nC:\\a-very-long-folder-name\\plane.mdl\nb\n"},
        {"one\n\ntwo three four", 9, "one\n\ntwo three\nfour"},
        // A hint's indentation is kept on the lines it continues on.
        {"    add them for the ground pitch.\n", 20, "    add them for the\n    ground pitch.\n"},
        {"no width at all\n", 0, "no width at all\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(wrap_at_blanks(c.text, c.width), c.wrapped);
    }
}

TEST(DroppedFiles, TheSharedFolderIsNamedOnce)
{
    struct Case {
        std::vector<std::string> names;
        std::string text;
        std::string shown;
    };
    const Case cases[] = {
        {{"C:\\Sim\\Planes\\a.mdl", "C:\\Sim\\Planes\\a.cfg"},
         "MDL file C:\\Sim\\Planes\\a.mdl with 1 landing light successfully written.\n",
         "In the folder C:\\Sim\\Planes:\nMDL file a.mdl with 1 landing light successfully written.\n"},
        {{"/home/pilot/a.mdl"}, "Backup MDL file /home/pilot/a.MD$ created.\n",
         "In the folder /home/pilot:\nBackup MDL file a.MD$ created.\n"},
        {{"C:\\a.mdl", "C:\\a.cfg"}, "C:\\a.mdl\n", "In the folder C:\\:\na.mdl\n"},
        // Different folders, or none: the names stay whole.
        {{"C:\\One\\a.mdl", "C:\\Two\\a.cfg"}, "C:\\One\\a.mdl\n", "C:\\One\\a.mdl\n"},
        {{"a.mdl", "a.cfg"}, "a.mdl\n", "a.mdl\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.names[0]);
        EXPECT_EQ(name_folder_once(c.text, shared_folder(c.names)), c.shown);
    }
}

}  // namespace

}  // namespace lumora
