#pragma once

#include <string>

namespace pictora {

// Text made safe inside SVG and HTML elements and quoted attributes: the five
// markup characters as entities, and the control characters XML 1.0 cannot
// carry even escaped as spaces.
std::string EscapedMarkup(const std::string& text);

}  // namespace pictora
