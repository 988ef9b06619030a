#pragma once

#include <cstdint>

#include "quantizer/CodedChannel.h"

namespace pictora {

// Where a channel's bits go in a coded image: what `pictora-cli info` shows.
struct CodedChannelFigures {
    std::uint32_t neurons = 0;         // K
    std::uint64_t codebookBytes = 0;   // K * d
    std::uint64_t blocks = 0;          // full blocks, each coded by an index
    std::uint64_t indexBits = 0;       // the index block's N bits, as stored
    double indexEntropyBits = 0.0;     // order-0 entropy of the full blocks' indices, bits per block
};

CodedChannelFigures MeasureCodedChannel(const CodedChannel& channel);

}  // namespace pictora
