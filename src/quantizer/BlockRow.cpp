#include "quantizer/BlockRow.h"

namespace pictora {

void BlockRow::Prepare(const Plane& source, std::uint32_t blockRow, std::uint32_t count, BlockVector& scratch,
                       const NeuronSearch& search) {
    const std::uint32_t side = scratch.Side();
    stride_ = scratch.Dimension() + 1;
    vectors_.resize(count * stride_);
    sketches_.resize(count);
    for (std::uint32_t k = 0; k < count; ++k) {
        scratch.GatherInto(source, blockRow * side, k * side, vectors_.data() + k * stride_);
        search.Describe(scratch, sketches_[k]);
    }
}

}  // namespace pictora
