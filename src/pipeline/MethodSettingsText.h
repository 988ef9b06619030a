#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "pipeline/MethodSettings.h"

namespace pictora {

// The method settings as the command line and the result files write them:
// `similarity` or `error`, iterations and strengths as plain integers, the
// lambda as a real in the C format. Each parser accepts exactly one whole
// value and leaves its target alone otherwise.
const char* CodeByName(CodeBy codeBy);
bool ParseCodeBy(std::string_view text, CodeBy& codeBy);
// 0 (off) to 3.
std::uint32_t DeblockLevel(DeblockStrength strength);
bool ParseDeblockStrength(std::string_view text, DeblockStrength& strength);
// A finite lambda of at least 0.
bool ParseLambda(std::string_view text, double& lambda);
// The same typed in the desktop program, where a decimal comma is taken for
// a point as in every field of its form.
bool ParseTypedLambda(std::string_view text, double& lambda);
bool ParseRefine(std::string_view text, std::uint32_t& iterations);

}  // namespace pictora
