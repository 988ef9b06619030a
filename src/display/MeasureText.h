#pragma once

#include <optional>
#include <string>

namespace pictora {

// A measure for the viewer's status line with `decimals` digits after a
// point, whatever the user's locale: "—" when it is undefined (absent or
// NaN), "∞" for an infinite value (the pSNR of identical images). UTF-8.
std::string MeasureText(std::optional<double> value, int decimals);

}  // namespace pictora
