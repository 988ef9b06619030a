#include "pipeline/MethodSettingsText.h"

#include <charconv>
#include <cmath>

#include "support/NumberText.h"

namespace pictora {

const char* CodeByName(CodeBy codeBy) { return codeBy == CodeBy::Error ? "error" : "similarity"; }

bool ParseCodeBy(std::string_view text, CodeBy& codeBy) {
    if (text == "similarity") codeBy = CodeBy::Similarity;
    else if (text == "error") codeBy = CodeBy::Error;
    else return false;
    return true;
}

std::uint32_t DeblockLevel(DeblockStrength strength) { return static_cast<std::uint32_t>(strength); }

bool ParseDeblockStrength(std::string_view text, DeblockStrength& strength) {
    if (text.size() != 1 || text[0] < '0' || text[0] > '3') return false;
    strength = static_cast<DeblockStrength>(text[0] - '0');
    return true;
}

namespace {

bool ReadLambda(std::string_view text, double& lambda, bool acceptComma) {
    double parsed = 0.0;
    if (!ParseReal(text, parsed, acceptComma) || !std::isfinite(parsed) || parsed < 0.0) return false;
    lambda = parsed + 0.0;  // -0 reads as 0
    return true;
}

}  // namespace

bool ParseLambda(std::string_view text, double& lambda) { return ReadLambda(text, lambda, false); }
bool ParseTypedLambda(std::string_view text, double& lambda) { return ReadLambda(text, lambda, true); }

bool ParseRefine(std::string_view text, std::uint32_t& iterations) {
    std::uint32_t parsed = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, parsed);
    if (text.empty() || result.ec != std::errc{} || result.ptr != end) return false;
    iterations = parsed;
    return true;
}

}  // namespace pictora
