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
    if (!drawMasks) return;

    for (std::uint32_t i = 0; i < rows_; ++i) std::memset(mask_[i], 0, columns_);
    // A neuron's frame sits where it was created, whichever blocks it codes:
    // drawing it once per neuron in use gives the same mask.
    std::vector<bool> framed(neurons_.Count(), false);
    const std::uint32_t blocks = blockRows * blocksPerRow;
    for (block = 0; block < blocks; ++block) {
        if (framed[codes_[block]]) continue;
        framed[codes_[block]] = true;
        DrawOriginFrame(neurons_.At(codes_[block]), side);
    }
}

// A frame two pixels wide around the square where the neuron was created.
void KohonenNetwork::DrawOriginFrame(const Neuron& neuron, std::uint32_t side) {
    const std::uint32_t x = neuron.originX;
    const std::uint32_t y = neuron.originY;
    // Blocks of one pixel have no inner edge: the frame is the pixel itself.
    const std::uint32_t inner = side >= 2 ? side - 2 : 0;
    for (std::uint32_t t = 0; t < side; ++t) {
        Mark(y + t, x);
        Mark(y + t, x + (side >= 2 ? 1 : 0));
        Mark(y + t, x + side - 1);
        Mark(y + t, x + inner);
        Mark(y, x + t);
        Mark(y + (side >= 2 ? 1 : 0), x + t);
        Mark(y + side - 1, x + t);
        Mark(y + inner, x + t);
    }
}

void KohonenNetwork::Mark(std::uint32_t row, std::uint32_t column) {
    if (row < rows_ && column < columns_) mask_[row][column] = 255;
}

}  // namespace pictora
