// Windows: the ZIP puts the manuals as HTML beside the programs, and the
// system's own programs take "/?" for their help.
#include "platform/help_conventions.h"

namespace lumora {

ManualForm manual_form() { return ManualForm::html_beside_program; }

bool is_system_help_option(const std::string& argument) { return argument == "/?"; }

}  // namespace lumora
