#include "cli/OptionValues.h"

#include <charconv>
#include <cmath>

#include "support/NumberText.h"

namespace pictora::cli {
namespace {

// Digits only: from_chars would take a minus sign, and a sign is no part of a count.
template <typename Unsigned>
bool ParseDigits(const std::string& text, Unsigned& value) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return false;
    Unsigned parsed = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, parsed);
    if (result.ec != std::errc{} || result.ptr != end) return false;
    value = parsed;
    return true;
}

}  // namespace

bool ParseUnsigned(const std::string& text, std::uint32_t& value) { return ParseDigits(text, value); }

bool ParseUnsigned(const std::string& text, std::uint64_t& value) { return ParseDigits(text, value); }

bool ParseFiniteReal(const std::string& text, double& value) {
    double parsed = 0.0;
    if (!ParseReal(text, parsed) || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

bool SplitTriple(const std::string& text, std::array<std::string, 3>& parts) {
    std::size_t count = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        if (count == 3) return false;
        parts[count++] = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (count == 1) parts.fill(parts[0]);
    return count == 1 || count == 3;
}

}  // namespace pictora::cli
