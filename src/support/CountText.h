#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pictora {

// A count and its noun as English output writes them: "1 neuron",
// "0 neurons", "2 neurons".
std::string Counted(std::uint64_t count, std::string_view singular, std::string_view plural);

}  // namespace pictora
