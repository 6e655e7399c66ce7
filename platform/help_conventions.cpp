// Windows: the ZIP puts the manuals as HTML beside the programs, and the
// system's own programs take "/?" for their help. POSIX systems: the
// manuals are man pages, and the system has no word of its own.
#include "platform/help_conventions.h"

namespace lumora {

namespace {

#if defined(_WIN32)
constexpr ManualForm MANUAL_FORM = ManualForm::html_beside_program;
constexpr const char* SYSTEM_HELP_OPTION = "/?";
#else
constexpr ManualForm MANUAL_FORM = ManualForm::man_pages;
constexpr const char* SYSTEM_HELP_OPTION = nullptr;
#endif

}  // namespace

ManualForm manual_form() { return MANUAL_FORM; }

bool is_help_option(const std::string& argument)
{
    return argument == "--help" || argument == "-h" || argument == "-?" ||
           (SYSTEM_HELP_OPTION != nullptr && argument == SYSTEM_HELP_OPTION);
}

}  // namespace lumora
