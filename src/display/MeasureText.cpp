#include "display/MeasureText.h"

#include <array>
#include <charconv>
#include <cmath>

namespace pictora {

std::string MeasureText(std::optional<double> value, int decimals) {
    if (!value || std::isnan(*value)) return "—";
    if (std::isinf(*value)) return *value > 0 ? "∞" : "−∞";
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), *value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return "—";
    return std::string(buffer.data(), result.ptr);
}

}  // namespace pictora
