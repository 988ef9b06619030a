#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace pictora::cli {

// Values of the command line, read the same in every locale. Each returns
// false for text that is not one whole value.
bool ParseUnsigned(const std::string& text, std::uint32_t& value);
bool ParseFiniteReal(const std::string& text, double& value);

// "V" gives V to all three channels; "V0,V1,V2" one value each.
template <typename T, typename Parse>
bool ParseTriple(const std::string& text, std::array<T, 3>& values, Parse parse) {
    std::array<std::string, 3> parts;
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
    else if (count != 3) return false;
    std::array<T, 3> parsed{};
    for (std::size_t c = 0; c < 3; ++c)
        if (!parse(parts[c], parsed[c])) return false;
    values = parsed;
    return true;
}

}  // namespace pictora::cli
