// POSIX systems: the manuals are man pages; "--help" is the only way to ask.
#include "platform/help_conventions.h"

namespace lumora {

ManualForm manual_form() { return ManualForm::man_pages; }

bool is_system_help_option(const std::string&) { return false; }

}  // namespace lumora
