#pragma once

#include <cstdint>
#include <vector>

#include "quantizer/BlockVector.h"
#include "quantizer/NeuronSearch.h"
#include "quantizer/VectorSketch.h"
#include "support/Plane.h"

namespace pictora {

// One row of blocks made ready for the search: each block gathered and
// normalised (the very doubles BlockVector gives) and, for the fast search,
// sketched. Preparing the next row is independent of the neurons, so the
// training pass has it done on another core while it searches this one.
class BlockRow {
public:
    // Prepares blocks 0 .. count-1 of block row `blockRow`, with `scratch`
    // (of the network's dimension) to gather them.
    void Prepare(const Plane& source, std::uint32_t blockRow, std::uint32_t count, BlockVector& scratch,
                 const NeuronSearch& search);

    const double* Vector(std::uint32_t k) const { return vectors_.data() + static_cast<std::size_t>(k) * stride_; }
    const VectorSketch& Sketch(std::uint32_t k) const { return sketches_[k]; }

private:
    std::size_t stride_ = 0;  // d + 1
    std::vector<double> vectors_;
    std::vector<VectorSketch> sketches_;
};

}  // namespace pictora
