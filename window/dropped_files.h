// The program's own window: what the files dropped onto veska mean, and
// how its messages are shown there. Plain decisions on names and text, so
// that they are the same on every system; only whether the program has a
// window of its own, and its width, come from the platform.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace lumora {

enum class DropKind {
    as_given,              // the arguments mean what they mean on a command line
    model_and_definition,  // two files, one of them the model
    model_alone,
    definition_alone,
};

struct Drop {
    DropKind kind;
    std::vector<std::string> arguments;  // in the order veska takes them
};

// What the dropped files are: names, and for each whether the file starts
// with "MZ" (a model). Of two files the one that is a model comes first,
// whatever their order; one file alone is a model or a definition file.
// Anything else is taken as given.
Drop read_drop(const std::vector<std::string>& names, const std::vector<bool>& is_model);

// The text with each line longer than width broken at its last blank that
// keeps it within width (the blank itself is dropped); a word longer than
// the whole width stays whole on a line of its own. Width 0 changes nothing.
std::string wrap_at_blanks(const std::string& text, std::size_t width);

// The folder that all the names share, with its last separator ("/" and
// "\" both separate); "" when they do not share one, or have none.
std::string shared_folder(const std::vector<std::string>& names);

// The text with every occurrence of folder (with its trailing separator)
// left out, so that the files in it go by their names; the folder itself is
// named once, in the line that comes first. Unchanged when folder is "".
std::string name_folder_once(const std::string& text, const std::string& folder);

}  // namespace lumora
