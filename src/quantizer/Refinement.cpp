// Lloyd iterations of KohonenNetwork, and the coding error they lower.
//
// An iteration cannot raise the error of the full blocks: for each pixel of a
// neuron, sum over its n blocks of (p - x)^2 = n (p - mean)^2 + a constant,
// least over the bytes at the byte nearest the mean, floor(mean + 0.5) (a tie
// between two bytes costs the same either way); coding every block again by
// least error can only keep or lower each block's error; removing neurons
// that code nothing changes no block.
#include <algorithm>
#include <vector>

#include "quantizer/KohonenNetwork.h"

namespace pictora {

std::uint64_t KohonenNetwork::CodingError() const {
    const std::uint32_t side = BlockSide(dimension_);
    if (side == 0 || source_ == nullptr || neurons_.Count() == 0) return 0;
    const std::uint32_t blocksPerRow = columns_ / side;
    const std::uint32_t blocks = (rows_ / side) * blocksPerRow;
    std::uint64_t error = 0;
    for (std::uint32_t b = 0; b < blocks; ++b) {
        const std::uint8_t* pixels = neurons_.At(codes_[b]).pixels.data();
        const std::uint32_t row = b / blocksPerRow * side;
        const std::uint32_t column = b % blocksPerRow * side;
        for (std::uint32_t i = 0; i < side; ++i) {
            const std::uint8_t* line = (*source_)[row + i] + column;
            for (std::uint32_t j = 0; j < side; ++j) {
                const std::int64_t difference = static_cast<std::int64_t>(line[j]) - pixels[i * side + j];
                error += static_cast<std::uint64_t>(difference * difference);
            }
        }
    }
    return error;
}

// Stops early at a fixed point: once an iteration changes no pixel and no
// code, every later one would compute the same means and codes again.
void KohonenNetwork::Refine(std::uint32_t iterations) {
    const std::uint32_t side = BlockSide(dimension_);
    if (iterations == 0 || side == 0 || source_ == nullptr || neurons_.Count() == 0) return;
    const std::uint32_t blocksPerRow = columns_ / side;
    const std::uint32_t blocks = (rows_ / side) * blocksPerRow;
    BlockVector normaliser;
    normaliser.Resize(dimension_);
    std::vector<double> vector(dimension_ + 1);
    std::vector<std::uint8_t> means(dimension_);
    std::vector<std::uint64_t> sums;
    std::vector<std::uint64_t> members;
    std::vector<std::uint32_t> previous;

    for (std::uint32_t iteration = 0; iteration < iterations; ++iteration) {
        const std::uint32_t count = neurons_.Count();
        sums.assign(static_cast<std::size_t>(count) * dimension_, 0);
        members.assign(count, 0);
        for (std::uint32_t b = 0; b < blocks; ++b) {
            const std::uint32_t k = codes_[b];
            std::uint64_t* sum = sums.data() + static_cast<std::size_t>(k) * dimension_;
            const std::uint32_t row = b / blocksPerRow * side;
            const std::uint32_t column = b % blocksPerRow * side;
            for (std::uint32_t i = 0; i < side; ++i) {
                const std::uint8_t* line = (*source_)[row + i] + column;
                for (std::uint32_t j = 0; j < side; ++j) sum[i * side + j] += line[j];
            }
            ++members[k];
        }
        bool changed = false;
        for (std::uint32_t k = 0; k < count; ++k) {
            const std::uint64_t n = members[k];
            if (n == 0) continue;  // none after a coding: every neuron left codes a block
            Neuron& neuron = neurons_.At(k);
            const std::uint64_t* sum = sums.data() + static_cast<std::size_t>(k) * dimension_;
            // floor(sum / n + 1/2) in integers.
            for (std::uint32_t i = 0; i < dimension_; ++i) means[i] = static_cast<std::uint8_t>((2 * sum[i] + n) / (2 * n));
            changed = changed || !std::equal(means.begin(), means.end(), neuron.pixels.begin());
            normaliser.NormalisePixels(means.data(), vector.data());
            neuron.Refit(means.data(), vector.data());
        }

        previous.assign(codes_.begin(), codes_.begin() + blocks);
        neurons_.ClearUsedMarks();
        neurons_.ClearWins();
        if (!ScansPlainly()) pixelIndex_.Build(neurons_, count);
        CodingScan(CodeBy::Error);
        pixelIndex_.Release();
        changed = changed || !std::equal(previous.begin(), previous.end(), codes_.begin());
        prunedCount_ += RemoveUnused(CodeBy::Error);
        if (!changed) break;
    }
}

}  // namespace pictora
