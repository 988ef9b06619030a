#include "cli/OptionValues.h"

#include <charconv>
#include <cmath>

#include "support/NumberText.h"

namespace pictora::cli {

bool ParseUnsigned(const std::string& text, std::uint32_t& value) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return false;
    std::uint32_t parsed = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, parsed);
    if (result.ec != std::errc{} || result.ptr != end) return false;
    value = parsed;
    return true;
}

bool ParseFiniteReal(const std::string& text, double& value) {
    double parsed = 0.0;
    if (!ParseReal(text, parsed) || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

}  // namespace pictora::cli
