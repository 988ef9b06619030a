#include "reference/ReferenceCodec.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace pictora {

std::string ReferenceCodec::KnobText(double knob) {
    char text[32];
    auto [end, error] = std::to_chars(text, text + sizeof text, knob);
    if (error != std::errc()) return "?";
    return std::string(text, end);
}

Status ReferenceCodec::CheckWholeKnob(double knob) const {
    const KnobGridSpan grid = Traits().grid;
    const int lowest = std::min(grid.worst, grid.best);
    const int highest = std::max(grid.worst, grid.best);
    if (!(knob >= lowest && knob <= highest) || std::trunc(knob) != knob) {
        return Status::Error(ErrorKind::InvalidSetting, std::string(Name()) + ": " + std::string(Traits().knobName) + " " + KnobText(knob) +
                             " is not a whole number from " + std::to_string(lowest) + " to " +
                             std::to_string(highest));
    }
    return Status::Ok();
}

}  // namespace pictora
