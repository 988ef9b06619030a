#include "reference/ReferenceCodec.h"

#include <charconv>
#include <cmath>

namespace pictora {

std::string ReferenceCodec::KnobText(double knob) {
    char text[32];
    auto [end, error] = std::to_chars(text, text + sizeof text, knob);
    if (error != std::errc()) return "?";
    return std::string(text, end);
}

Status ReferenceCodec::CheckWholeKnob(std::string_view knobName, double knob, int lowest, int highest) const {
    if (!(knob >= lowest && knob <= highest) || std::trunc(knob) != knob) {
        return Status::Error(ErrorKind::InvalidSetting, std::string(Name()) + ": " + std::string(knobName) + " " + KnobText(knob) +
                             " is not a whole number from " + std::to_string(lowest) + " to " +
                             std::to_string(highest));
    }
    return Status::Ok();
}

}  // namespace pictora
