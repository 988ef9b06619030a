#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace pictora::cli {

// Values of the command line, read the same in every locale. Each returns
// false for text that is not one whole value.
bool ParseUnsigned(const std::string& text, std::uint32_t& value);
bool ParseUnsigned(const std::string& text, std::uint64_t& value);
bool ParseFiniteReal(const std::string& text, double& value);

// "V" stands for the same V three times, "V0,V1,V2" for three values; false
// for any other number of parts.
bool SplitTriple(const std::string& text, std::array<std::string, 3>& parts);

}  // namespace pictora::cli
