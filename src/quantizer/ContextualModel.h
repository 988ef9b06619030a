#pragma once

// The model of the contextual lossless stage: what a coded image's parts
// probably are, given the parts already coded. It lives with the quantizer,
// not with the byte coders of entropy/, because it models the quantizer's
// coded image: blocks in raster order, each the index of a neuron whose
// pixels are a small picture of the place where the neuron was first used.
//
// A channel is coded block by block in raster order. A block's index is
// coded against its neighbours (the same as the left or the upper block?
// the first neuron not used yet?), else written out; a neuron met for the
// first time has its pixels coded right there, each predicted from its
// neighbours in the picture the blocks already coded make, so that the
// codebook costs about what the picture under it would cost a lossless image
// coder. Neurons no full block uses follow in list order, predicted within
// themselves.

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "entropy/BinaryRangeCoder.h"
#include "entropy/ResidualCoding.h"
#include "quantizer/CodedSection.h"

namespace pictora {

// The parts of a channel the stage reports the cost of.
enum class ContextualPart { Indices, Codebook, Rest };

// One channel as the model codes it: the section's head, its K * d codebook
// bytes and its index entries (full blocks first, then the rest), and
// whether the entries after the full blocks are coded (they are 0 otherwise).
struct ContextualChannel {
    CodedSectionHeader header;
    std::vector<std::uint8_t> codebook;
    std::vector<std::uint32_t> entries;
    bool tailCoded = false;
};

// The contexts one channel's pixels are coded with.
struct PixelContexts {
    static constexpr int kActivityClasses = 12;
    static constexpr int kPositions = 4;  // inside the block, first row, first column, first pixel
    static constexpr int kBiasClasses = 365;
    std::array<ResidualContexts, kActivityClasses * kPositions> residuals{};
    // The mean error of the prediction in each class of local gradients,
    // learnt and added back: sum and count, halved now and then.
    std::array<std::int32_t, kBiasClasses> errorSum{};
    std::array<std::int32_t, kBiasClasses> errorCount{};
};

// How a block's index was coded, remembered as context for its neighbours
// (and for the same block of the next channel).
enum class BlockKind : std::uint8_t { Left, Upper, NextNew, OtherNew, Near, Far };
inline constexpr int kBlockKinds = 6;

// The contexts of one channel's block indices.
struct IndexContexts {
    static constexpr int kNeighbourhoods = kBlockKinds * kBlockKinds * 2 * (kBlockKinds + 1);
    static constexpr int kNearCandidates = 12;
    std::array<AdaptiveBit, kNeighbourhoods> sameAsLeft{};
    std::array<AdaptiveBit, kNeighbourhoods> sameAsUpper{};
    std::array<AdaptiveBit, kNeighbourhoods> unused{};
    std::array<AdaptiveBit, kNeighbourhoods> nextNew{};
    std::array<AdaptiveBit, 2> nearNew{};           // a new neuron soon after the next
    std::array<AdaptiveBit, 16> newDistance{};      // how soon, by prefix
    AdaptiveBit nearFlag;                            // the same as a nearby block
    std::array<AdaptiveBit, kNearCandidates> near{}; // which one, by candidate
    std::array<AdaptiveBit, 32> trailingBits{};      // the bits of a written index after the first 16, by place
};

// Codes the three channels of a coded image with one coder. `Coder` is
// BinaryRangeEncoder, BinaryRangeDecoder or a decoder that also counts the
// cost of each part; with the encoder the channels are read, with the
// decoders they are filled in (their vectors sized beforehand).
template <class Coder>
class ContextualImageModel {
public:
    explicit ContextualImageModel(Coder& coder) : coder_(coder) {}

    // False when a decoded index is not below K: the stream is damaged.
    bool CodeChannel(ContextualChannel& channel) {
        const CodedSectionHeader& header = channel.header;
        if (header.neuronCount == 0) return true;  // nothing to code, not even work arrays
        side_ = header.Side();
        dimension_ = header.dimension;
        blockColumns_ = header.BlockColumns();
        blockRows_ = header.BlockRows();
        neuronCount_ = header.neuronCount;
        const std::uint32_t width = header.Width();
        stride_ = side_ + 4;
        patch_.assign(static_cast<std::size_t>(side_ + 2) * stride_, 0);
        pixels_ = PixelContexts{};
        indices_ = IndexContexts{};
        // A written index learns by prefix for its first 16 bits: what an
        // adaptive frequency of each neuron comes to.
        leadingBits_.assign(std::size_t{2} << std::min<std::uint32_t>(width, 16), AdaptiveBit{});
        seen_.assign(neuronCount_, 0);
        unusedFrom_.resize(static_cast<std::size_t>(neuronCount_) + 1);
        for (std::uint32_t k = 0; k <= neuronCount_; ++k) unusedFrom_[k] = k;
        cursor_ = 0;
        // The block kinds of the channel before are context when its blocks
        // lie where this channel's do.
        const bool sameGrid = blockColumns_ == previousColumns_ && blockRows_ == previousRows_;
        if (!sameGrid) previousKinds_.clear();
        kinds_.assign(header.FullBlocks(), BlockKind::Far);

        std::uint32_t* entries = channel.entries.data();
        std::uint8_t* codebook = channel.codebook.data();
        for (std::uint32_t by = 0; by < blockRows_; ++by) {
            for (std::uint32_t bx = 0; bx < blockColumns_; ++bx) {
                const std::size_t block = static_cast<std::size_t>(by) * blockColumns_ + bx;
                Enter(ContextualPart::Indices);
                const std::uint32_t index = CodeIndex(entries, by, bx, entries[block], width);
                if (index >= neuronCount_) return false;
                entries[block] = index;
                if (!seen_[index]) {
                    seen_[index] = 1;
                    unusedFrom_[index] = index + 1;
                    Enter(ContextualPart::Codebook);
                    CodeNeuron(entries, codebook, index, by, bx);
                }
            }
        }
        Enter(ContextualPart::Codebook);
        for (std::uint32_t neuron = 0; neuron < neuronCount_; ++neuron)
            if (!seen_[neuron]) CodeNeuron(entries, codebook, neuron, kDetached, kDetached);
        if (channel.tailCoded) {
            Enter(ContextualPart::Rest);
            for (std::size_t e = header.FullBlocks(); e < channel.entries.size(); ++e)
                entries[e] = coder_.CodeEven(entries[e], width);
        }
        previousKinds_ = std::move(kinds_);
        previousColumns_ = blockColumns_;
        previousRows_ = blockRows_;
        return true;
    }

private:
    static constexpr std::uint32_t kDetached = 0xFFFFFFFFu;
    static constexpr std::uint32_t kNewDistances = 16;

    // Tells a coder that counts the cost of each part which part follows.
    void Enter(ContextualPart part) {
        if constexpr (requires { coder_.SetPart(part); }) coder_.SetPart(part);
    }

    // The first neuron at or after k that no block has used yet (K if none).
    std::uint32_t UnusedFrom(std::uint32_t k) {
        std::uint32_t root = k;
        while (unusedFrom_[root] != root) root = unusedFrom_[root];
        while (unusedFrom_[k] != root) {
            const std::uint32_t next = unusedFrom_[k];
            unusedFrom_[k] = root;
            k = next;
        }
        return root;
    }

    // Neurons are made from blocks in raster order, so a block that meets a
    // neuron for the first time mostly meets the next one made: the first
    // unused neuron after the one met last this way (the cursor), or one a
    // little after it. The distinct neurons of the nearby blocks come next.
    std::uint32_t CodeIndex(const std::uint32_t* entries, std::uint32_t by, std::uint32_t bx, std::uint32_t index,
                            std::uint32_t width) {
        const std::size_t block = static_cast<std::size_t>(by) * blockColumns_ + bx;
        const bool hasLeft = bx > 0;
        const bool hasUpper = by > 0;
        const std::uint32_t left = hasLeft ? entries[block - 1] : 0;
        const std::uint32_t upper = hasUpper ? entries[block - blockColumns_] : 0;
        const int leftKind = hasLeft ? static_cast<int>(kinds_[block - 1]) : static_cast<int>(BlockKind::Far);
        const int upperKind = hasUpper ? static_cast<int>(kinds_[block - blockColumns_]) : static_cast<int>(BlockKind::Far);
        const int previousKind = previousKinds_.empty() ? kBlockKinds : static_cast<int>(previousKinds_[block]);
        const std::size_t context = static_cast<std::size_t>(
            ((leftKind * kBlockKinds + upperKind) * 2 + (hasLeft && hasUpper && left == upper ? 1 : 0)) * (kBlockKinds + 1) +
            previousKind);

        BlockKind kind;
        std::uint32_t result;
        if (hasLeft && coder_.Code(indices_.sameAsLeft[context], index == left)) {
            result = left;
            kind = BlockKind::Left;
        } else if (hasUpper && (!hasLeft || upper != left) && coder_.Code(indices_.sameAsUpper[context], index == upper)) {
            result = upper;
            kind = BlockKind::Upper;
        } else if (coder_.Code(indices_.unused[context], index < neuronCount_ && !seen_[index])) {
            result = CodeNewIndex(index, width, context, kind);
        } else {
            result = CodeUsedIndex(entries, by, bx, index, width, left, upper, kind);
        }
        kinds_[block] = kind;
        return result;
    }

    std::uint32_t CodeNewIndex(std::uint32_t index, std::uint32_t width, std::size_t context, BlockKind& kind) {
        // The distance from the cursor in unused neurons, if it is short.
        std::uint32_t distance = kNewDistances;
        std::uint32_t candidate = UnusedFrom(cursor_);
        const std::uint32_t first = candidate;
        for (std::uint32_t d = 0; d < kNewDistances && candidate < neuronCount_; ++d) {
            if (candidate == index) {
                distance = d;
                break;
            }
            candidate = UnusedFrom(candidate + 1);
        }
        kind = BlockKind::NextNew;
        if (first < neuronCount_ && coder_.Code(indices_.nextNew[context], distance == 0)) return Advance(first);
        kind = BlockKind::OtherNew;
        if (coder_.Code(indices_.nearNew[0], distance < kNewDistances)) {
            // 1 to 15, in four bits most significant first.
            std::uint32_t prefix = 1;
            for (int bit = 3; bit >= 0; --bit) prefix = (prefix << 1) | coder_.Code(indices_.newDistance[prefix], (distance >> bit) & 1);
            const std::uint32_t steps = prefix - 16;
            candidate = first;
            for (std::uint32_t d = 0; d < steps && candidate < neuronCount_; ++d) candidate = UnusedFrom(candidate + 1);
            return Advance(candidate);
        }
        return CodeWritten(index, width);
    }

    // The cursor follows a new neuron found near it.
    std::uint32_t Advance(std::uint32_t neuron) {
        if (neuron < neuronCount_) cursor_ = neuron + 1;
        return neuron;
    }

    std::uint32_t CodeUsedIndex(const std::uint32_t* entries, std::uint32_t by, std::uint32_t bx, std::uint32_t index,
                                std::uint32_t width, std::uint32_t left, std::uint32_t upper, BlockKind& kind) {
        // Nearby blocks, nearest first: (row, column) offsets.
        static constexpr std::array<std::array<std::int32_t, 2>, 16> kNearby = {{{-1, -1}, {-1, 1}, {0, -2}, {-2, 0},
                                                                                  {-1, -2}, {-1, 2}, {-2, -1}, {-2, 1},
                                                                                  {0, -3}, {-3, 0}, {-2, -2}, {-2, 2},
                                                                                  {-1, -3}, {-1, 3}, {-3, -1}, {-3, 1}}};
        std::array<std::uint32_t, IndexContexts::kNearCandidates> candidates;
        std::uint32_t count = 0;
        std::uint32_t position = IndexContexts::kNearCandidates;
        for (const auto& offset : kNearby) {
            const std::int64_t y = static_cast<std::int64_t>(by) + offset[0];
            const std::int64_t x = static_cast<std::int64_t>(bx) + offset[1];
            if (y < 0 || x < 0 || x >= blockColumns_) continue;
            const std::uint32_t neuron = entries[static_cast<std::size_t>(y) * blockColumns_ + static_cast<std::size_t>(x)];
            if ((bx > 0 && neuron == left) || (by > 0 && neuron == upper)) continue;
            if (std::find(candidates.begin(), candidates.begin() + count, neuron) != candidates.begin() + count) continue;
            if (neuron == index) position = count;
            candidates[count++] = neuron;
            if (count == candidates.size()) break;
        }
        kind = BlockKind::Far;
        if (count == 0 || !coder_.Code(indices_.nearFlag, position < count)) return CodeWritten(index, width);
        kind = BlockKind::Near;
        // Which one, in unary: the nearest candidates are the likeliest.
        std::uint32_t c = 0;
        while (c + 1 < count && !coder_.Code(indices_.near[c], position == c)) ++c;
        return candidates[c];
    }

    // An index written out in `width` bits, most significant first; the
    // first bits learn by prefix, the rest by place.
    std::uint32_t CodeWritten(std::uint32_t index, std::uint32_t width) {
        std::uint32_t prefix = 1;
        std::uint32_t value = 0;
        for (std::uint32_t bit = width; bit-- > 0;) {
            const bool leading = width - bit <= 16;
            AdaptiveBit& context = leading ? leadingBits_[prefix] : indices_.trailingBits[bit];
            const std::uint32_t b = coder_.Code(context, (index >> bit) & 1);
            value = (value << 1) | b;
            if (leading) prefix = (prefix << 1) | b;
        }
        return value;
    }

    std::uint8_t& At(std::int32_t y, std::int32_t x) {
        return patch_[static_cast<std::size_t>(y + 2) * stride_ + static_cast<std::size_t>(x + 2)];
    }

    // Copies pixels x = first .. last of row y of the picture the channel's
    // coded blocks make to `out`: a row inside the full blocks, in blocks
    // already coded.
    void CopyPictureRow(const std::uint32_t* entries, const std::uint8_t* codebook, std::uint32_t y,
                        std::uint32_t first, std::uint32_t last, std::uint8_t* out) const {
        const std::uint32_t* rowEntries = entries + static_cast<std::size_t>(y / side_) * blockColumns_;
        const std::size_t rowOffset = static_cast<std::size_t>(y % side_) * side_;
        std::uint32_t blockColumn = first / side_;
        std::uint32_t column = first % side_;
        const std::uint8_t* source = codebook + static_cast<std::size_t>(rowEntries[blockColumn]) * dimension_ + rowOffset;
        for (std::uint32_t x = first; x <= last; ++x) {
            *out++ = source[column];
            if (++column == side_ && x < last) {
                column = 0;
                source = codebook + static_cast<std::size_t>(rowEntries[++blockColumn]) * dimension_ + rowOffset;
            }
        }
    }

    // Fills the patch's rows above the block (the two picture rows above it,
    // from two columns left of it to two right of it) and its two columns
    // left of it, from the picture where it is known; what is not known is
    // filled in as the pixels are coded (FillUnknownRowAbove and
    // FillUnknownColumnLeft).
    void FillBorders(const std::uint32_t* entries, const std::uint8_t* codebook, std::uint32_t by, std::uint32_t bx) {
        const std::int32_t n = static_cast<std::int32_t>(side_);
        topKnown_ = by != kDetached && by > 0;
        leftKnown_ = bx != kDetached && bx > 0;
        const std::int64_t top = topKnown_ ? static_cast<std::int64_t>(by) * side_ : 0;
        const std::int64_t leftEdge = leftKnown_ ? static_cast<std::int64_t>(bx) * side_ : 0;
        const std::int64_t pictureColumns = static_cast<std::int64_t>(blockColumns_) * side_;
        if (topKnown_) {
            const std::int64_t originX = bx == kDetached ? 0 : static_cast<std::int64_t>(bx) * side_;
            for (std::int32_t r = -1; r >= -2; --r) {
                const std::int64_t y = std::max<std::int64_t>(top + r, 0);
                const std::int64_t first = std::max<std::int64_t>(originX - 2, 0);
                const std::int64_t last = std::min<std::int64_t>(originX + n + 1, pictureColumns - 1);
                CopyPictureRow(entries, codebook, static_cast<std::uint32_t>(y), static_cast<std::uint32_t>(first),
                               static_cast<std::uint32_t>(last), &At(r, static_cast<std::int32_t>(first - originX)));
                for (std::int64_t x = originX - 2; x < first; ++x)
                    At(r, static_cast<std::int32_t>(x - originX)) = At(r, static_cast<std::int32_t>(first - originX));
                for (std::int64_t x = last + 1; x <= originX + n + 1; ++x)
                    At(r, static_cast<std::int32_t>(x - originX)) = At(r, static_cast<std::int32_t>(last - originX));
            }
        }
        if (leftKnown_) {
            const std::int64_t originY = static_cast<std::int64_t>(by) * side_;
            const std::int64_t first = std::max<std::int64_t>(leftEdge - 2, 0);
            for (std::int32_t r = 0; r < n; ++r) {
                CopyPictureRow(entries, codebook, static_cast<std::uint32_t>(originY + r), static_cast<std::uint32_t>(first),
                               static_cast<std::uint32_t>(leftEdge - 1), &At(r, static_cast<std::int32_t>(first - leftEdge)));
                if (first > leftEdge - 2) At(r, -2) = At(r, -1);
            }
            if (!topKnown_) {
                // The corner above the left columns is not known either.
                for (std::int32_t c = -2; c <= -1; ++c) At(-1, c) = At(-2, c) = At(0, c);
            }
        } else if (topKnown_) {
            for (std::int32_t r = -2; r <= -1; ++r) At(r, -1) = At(r, -2) = At(r, 0);
        }
        if (!topKnown_ && !leftKnown_) At(0, -1) = At(0, -2) = 128;
    }

    void CodeNeuron(const std::uint32_t* entries, std::uint8_t* codebook, std::uint32_t neuron, std::uint32_t by,
                    std::uint32_t bx) {
        FillBorders(entries, codebook, by, bx);
        const std::int32_t n = static_cast<std::int32_t>(side_);
        std::uint8_t* pixels = codebook + static_cast<std::size_t>(neuron) * dimension_;
        for (std::int32_t y = 0; y < n; ++y) {
            if (!leftKnown_ && (y > 0 || topKnown_)) At(y, -1) = At(y, -2) = At(y - 1, 0);
            for (std::int32_t x = 0; x < n; ++x) {
                if (!topKnown_ && y == 0) {
                    const std::uint8_t w = At(0, x - 1);
                    At(-1, x - 1) = At(-1, x) = At(-1, x + 1) = w;
                    At(-2, x - 1) = At(-2, x) = At(-2, x + 1) = w;
                }
                const int value = CodePixel(x, y, pixels[y * n + x]);
                pixels[y * n + x] = static_cast<std::uint8_t>(value);
                At(y, x) = static_cast<std::uint8_t>(value);
            }
            // The right neighbours of the row are not coded yet: the rows
            // below see its last pixel there.
            At(y, n) = At(y, n + 1) = At(y, n - 1);
        }
    }

    static int Quantise(int gradient) {
        const int magnitude = gradient < 0 ? -gradient : gradient;
        const int level = magnitude == 0 ? 0 : magnitude < 3 ? 1 : magnitude < 7 ? 2 : magnitude < 21 ? 3 : 4;
        return gradient < 0 ? -level : level;
    }

    static int ActivityClass(int activity) {
        static constexpr std::array<int, PixelContexts::kActivityClasses - 1> kBounds = {1, 3, 5, 8, 12, 17, 24,
                                                                                         34, 48, 68, 96};
        int k = 0;
        while (k < PixelContexts::kActivityClasses - 1 && activity >= kBounds[k]) ++k;
        return k;
    }

    int CodePixel(std::int32_t x, std::int32_t y, int pixel) {
        const int w = At(y, x - 1);
        const int nw = At(y - 1, x - 1);
        const int north = At(y - 1, x);
        const int ne = At(y - 1, x + 1);
        int predicted;
        if (nw >= std::max(w, north)) predicted = std::min(w, north);
        else if (nw <= std::min(w, north)) predicted = std::max(w, north);
        else predicted = w + north - nw;

        const int d1 = ne - north, d2 = north - nw, d3 = nw - w;
        int bias = (Quantise(d1) * 9 + Quantise(d2)) * 9 + Quantise(d3);
        const int sign = bias < 0 ? -1 : 1;
        bias *= sign;
        const std::int32_t count = pixels_.errorCount[bias];
        const std::int32_t sum = pixels_.errorSum[bias];
        const int correction = count == 0 ? 0 : sum / count;
        predicted = std::clamp(predicted + sign * correction, 0, 255);

        const int activity = std::abs(d1) + std::abs(d2) + std::abs(d3);
        const int position = (y == 0 ? 1 : 0) + (x == 0 ? 2 : 0);
        ResidualContexts& contexts =
            pixels_.residuals[static_cast<std::size_t>(position * PixelContexts::kActivityClasses + ActivityClass(activity))];
        // The residual wraps around 256, so it always fits -128 to 127.
        const int residual = static_cast<std::int8_t>(static_cast<std::uint8_t>((pixel - predicted) * sign));
        const int coded = CodeResidual(coder_, contexts, residual);
        const int value = static_cast<std::uint8_t>(predicted + sign * coded);

        int error = (value - predicted) * sign;
        pixels_.errorSum[bias] = sum + error;
        pixels_.errorCount[bias] = count + 1;
        if (count + 1 >= 64) {
            pixels_.errorSum[bias] /= 2;
            pixels_.errorCount[bias] /= 2;
        }
        return value;
    }

    Coder& coder_;
    std::uint32_t side_ = 0, dimension_ = 0, blockColumns_ = 0, blockRows_ = 0, neuronCount_ = 0, stride_ = 0;
    std::vector<std::uint8_t> patch_;
    bool topKnown_ = false, leftKnown_ = false;
    PixelContexts pixels_;
    IndexContexts indices_;
    std::vector<std::uint8_t> seen_;
    std::vector<std::uint32_t> unusedFrom_;  // links towards the first unused neuron at or after each
    std::uint32_t cursor_ = 0;
    std::vector<AdaptiveBit> leadingBits_;   // the first bits of a written index, by prefix
    std::vector<BlockKind> kinds_;           // of the channel's blocks coded so far
    std::vector<BlockKind> previousKinds_;   // of the channel before, when its blocks lie where these do
    std::uint32_t previousColumns_ = 0, previousRows_ = 0;
};

}  // namespace pictora
