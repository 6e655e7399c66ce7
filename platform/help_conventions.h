// How the users of a system ask a program for its help and where they find
// its manuals. The programs' help texts are their own; this says which of
// them fits the system.
#pragma once

#include <string>

namespace lumora {

enum class ManualForm {
    man_pages,            // installed with the programs and read with man
    html_beside_program,  // HTML files in the program's folder, read in a web browser
};

// The form in which the manuals come on this system.
ManualForm manual_form();

// True for every word that asks a program for its help when it stands
// alone on the command line: "--help", "-h" and "-?" on every system, and
// the word with which this system's own programs are asked for their help
// ("/?" on Windows; none elsewhere).
bool is_help_option(const std::string& argument);

}  // namespace lumora
