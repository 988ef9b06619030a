#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "entropy/EntropyCoder.h"
#include "support/Status.h"

namespace pictora {

// The contextual lossless stage (.mqz): a coded image (.mqc) coded by a model
// of what it holds (ContextualModel.h) rather than of its bytes; it decodes
// to exactly the bytes it was made from. It takes only what the coded-image
// reader accepts, and refuses anything else. Layout in ContextualCoder.cpp.
class ContextualCoder : public EntropyCoder {
public:
    Status EncodeBytes(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out) override;
    Status DecodeBytes(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out) override;
};

// Where the bytes of a .mqz go: its head (with what it carries of unusual
// coded images) and, per channel, the block indices, the codebook pixels and
// the rest (index entries that stand for no block), each the cost its
// decoded bits had under the model, in bytes.
struct ContextualParts {
    std::uint64_t headBytes = 0;
    std::array<double, 3> indexBytes{};
    std::array<double, 3> codebookBytes{};
    std::array<double, 3> restBytes{};
};

// Decodes a .mqz, also counting the cost of each part.
Status MeasureContextualParts(std::span<const std::uint8_t> in, ContextualParts& parts);

}  // namespace pictora
