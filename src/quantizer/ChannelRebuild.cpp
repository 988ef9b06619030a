// Rebuilding a channel from its codes, and the codebook mask, of KohonenNetwork.
#include <cstring>
#include <vector>

#include "quantizer/KohonenNetwork.h"

namespace pictora {

void KohonenNetwork::Rebuild(bool drawMasks) {
    const std::uint32_t side = BlockSide(dimension_);
    if (neurons_.Count() == 0 || side == 0 || rebuilt_.Height() < rows_ || rebuilt_.Width() < columns_) return;
    const std::uint32_t blockRows = rows_ / side;
    const std::uint32_t blocksPerRow = columns_ / side;

    std::uint32_t block = 0;
    for (std::uint32_t r = 0; r < blockRows; ++r) {
        for (std::uint32_t k = 0; k < blocksPerRow; ++k) {
            const Neuron& neuron = neurons_.At(codes_[block++]);
            for (std::uint32_t i = 0; i < side; ++i) {
                const std::uint8_t* pixels = neuron.pixels.data() + i * side;
                std::memcpy(rebuilt_[r * side + i] + k * side, pixels, side);
            }
        }
    }
    ReplicateEdges(blockRows * side, blocksPerRow * side);
    originsFramed_ = drawMasks;
}

// The pixels right of the last full block column and below the last full
// block row are coded by no block. Left at zero they would frame the picture
// in black and weigh on every measure; each takes instead the value of the
// nearest rebuilt pixel, (min(y, rebuiltRows - 1), min(x, rebuiltColumns - 1)).
// A plane with no full block has nothing to repeat and stays as it is.
void KohonenNetwork::ReplicateEdges(std::uint32_t rebuiltRows, std::uint32_t rebuiltColumns) {
    if (rebuiltRows == 0 || rebuiltColumns == 0) return;
    if (rebuiltColumns < columns_) {
        for (std::uint32_t y = 0; y < rebuiltRows; ++y) {
            std::uint8_t* row = rebuilt_[y];
            std::memset(row + rebuiltColumns, row[rebuiltColumns - 1], columns_ - rebuiltColumns);
        }
    }
    for (std::uint32_t y = rebuiltRows; y < rows_; ++y) std::memcpy(rebuilt_[y], rebuilt_[rebuiltRows - 1], columns_);
}

Plane KohonenNetwork::Mask() const {
    Plane mask(maskRows_, maskColumns_);
    const std::uint32_t side = BlockSide(dimension_);
    const std::uint32_t blocks = side == 0 ? 0 : (rows_ / side) * (columns_ / side);
    if (!originsFramed_ || blocks > codes_.size()) return mask;
    // A neuron's frame sits where it was created, whichever blocks it codes:
    // drawing it once per neuron in use gives the same mask.
    std::vector<bool> framed(neurons_.Count(), false);
    for (std::uint32_t block = 0; block < blocks; ++block) {
        if (framed[codes_[block]]) continue;
        framed[codes_[block]] = true;
        DrawOriginFrame(neurons_.At(codes_[block]), side, mask);
    }
    return mask;
}

// A frame two pixels wide around the square where the neuron was created.
void KohonenNetwork::DrawOriginFrame(const Neuron& neuron, std::uint32_t side, Plane& mask) const {
    const std::uint32_t x = neuron.originX;
    const std::uint32_t y = neuron.originY;
    // Blocks of one pixel have no inner edge: the frame is the pixel itself.
    const std::uint32_t inner = side >= 2 ? side - 2 : 0;
    for (std::uint32_t t = 0; t < side; ++t) {
        Mark(y + t, x, mask);
        Mark(y + t, x + (side >= 2 ? 1 : 0), mask);
        Mark(y + t, x + side - 1, mask);
        Mark(y + t, x + inner, mask);
        Mark(y, x + t, mask);
        Mark(y + (side >= 2 ? 1 : 0), x + t, mask);
        Mark(y + side - 1, x + t, mask);
        Mark(y + inner, x + t, mask);
    }
}

void KohonenNetwork::Mark(std::uint32_t row, std::uint32_t column, Plane& mask) const {
    if (row < rows_ && column < columns_ && row < mask.Height() && column < mask.Width()) mask[row][column] = 255;
}

}  // namespace pictora
