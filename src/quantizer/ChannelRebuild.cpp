// Rebuilding a channel from its codes, its codebook in pixel form and the
// codebook mask, of KohonenNetwork.
#include <algorithm>
#include <vector>

#include "quantizer/CodedChannel.h"
#include "quantizer/KohonenNetwork.h"

namespace pictora {

void KohonenNetwork::Rebuild(bool drawMasks) {
    const std::uint32_t side = BlockSide(dimension_);
    if (neurons_.Count() == 0 || side == 0 || rebuilt_.Height() < rows_ || rebuilt_.Width() < columns_) return;
    RebuildPlane(CodebookPixels(), side, codes_, rows_, columns_, rebuilt_);
    originsFramed_ = drawMasks;
}

std::vector<std::uint8_t> KohonenNetwork::CodebookPixels() const {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(neurons_.Count()) * dimension_);
    for (std::uint32_t i = 0; i < neurons_.Count(); ++i)
        std::copy_n(neurons_.At(i).pixels.data(), dimension_,
                    pixels.begin() + static_cast<std::ptrdiff_t>(i) * dimension_);
    return pixels;
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
