#pragma once

#include <cstddef>
#include <functional>

namespace pictora {

// Called after each encoding of a search or a ladder with the encodings done
// so far and an estimate of how many there will be in all (never below `done`).
using EncodingProgress = std::function<void(std::size_t done, std::size_t estimatedTotal)>;

}  // namespace pictora
