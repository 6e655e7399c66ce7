// Test support for the preview's pictures: their texts read back.
#pragma once

#include <string>

namespace lumora {

// The texts of the elements of a class in a preview picture, in the
// picture's order, joined by blanks: a text broken into lines whole again.
std::string lines_of_class(const std::string& svg, const std::string& name);

}  // namespace lumora
