#include "tests/support/svg_text.h"

namespace lumora {

std::string lines_of_class(const std::string& svg, const std::string& name)
{
    std::string joined;
    for (std::size_t at = svg.find("class=\"" + name + "\""); at != std::string::npos;
         at = svg.find("class=\"" + name + "\"", at + 1)) {
        const std::size_t begin = svg.find('>', at) + 1;
        joined += (joined.empty() ? "" : " ") + svg.substr(begin, svg.find('<', begin) - begin);
    }
    return joined;
}

}  // namespace lumora
