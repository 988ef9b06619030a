#pragma once

// The model of the contextual lossless stage: what a coded image's parts
// probably are, given the parts already coded. It lives with the quantizer,
// not with the byte coders of entropy/, because it models the quantizer's
// coded image: blocks in raster order, each the index of a neuron whose
// pixels are a small picture of the place where the neuron was first used.
//
// A channel is coded block by block in raster order. A block's index is
// coded against its neighbours (the same as the left or the upper block? a
// neuron not used yet, and then the next one made? the same as a nearby
// block?), else written out; a neuron met for the first time has its pixels
// coded right there, each predicted from its neighbours in the picture the
// blocks already coded make and from the same place in the channel before,
// so that the codebook costs about what the picture under it would cost a
// lossless image coder. Neurons no full block uses follow in list order,
// predicted within themselves.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
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

// The picture a channel's coded blocks make: pixel (y, x) of a full block is
// pixel (y mod n, x mod n) of the neuron its entry names.
struct ChannelPicture {
    const std::uint32_t* entries = nullptr;
    const std::uint8_t* codebook = nullptr;
    std::uint32_t side = 0, dimension = 0, blockColumns = 0, blockRows = 0;

    ChannelPicture() = default;
    explicit ChannelPicture(const ContextualChannel& channel)
        : entries(channel.entries.data()), codebook(channel.codebook.data()), side(channel.header.Side()),
          dimension(channel.header.dimension), blockColumns(channel.header.BlockColumns()),
          blockRows(channel.header.BlockRows()) {}

    std::uint32_t Rows() const { return blockRows * side; }
    std::uint32_t Columns() const { return blockColumns * side; }

    // Copies pixels first .. last of row y to `out`: places inside the full
    // blocks, in blocks whose entries are known.
    void CopyRow(std::uint32_t y, std::uint32_t first, std::uint32_t last, std::uint8_t* out) const {
        const std::uint32_t* rowEntries = entries + static_cast<std::size_t>(y / side) * blockColumns;
        const std::size_t rowOffset = static_cast<std::size_t>(y % side) * side;
        std::uint32_t blockColumn = first / side;
        std::uint32_t column = first % side;
        const std::uint8_t* source = codebook + static_cast<std::size_t>(rowEntries[blockColumn]) * dimension + rowOffset;
        for (std::uint32_t x = first; x <= last; ++x) {
            *out++ = source[column];
            if (++column == side && x < last) {
                column = 0;
                source = codebook + static_cast<std::size_t>(rowEntries[++blockColumn]) * dimension + rowOffset;
            }
        }
    }

    // Copies `count` pixels of row y from column x0 on to `out`, each place
    // clamped into the picture (which must hold a block).
    void CopyClampedRow(std::int64_t y, std::int64_t x0, std::uint32_t count, std::uint8_t* out) const {
        const auto row = static_cast<std::uint32_t>(std::clamp<std::int64_t>(y, 0, Rows() - 1));
        const std::int64_t last = static_cast<std::int64_t>(Columns()) - 1;
        const std::int64_t first = std::max<std::int64_t>(x0, 0);
        const std::int64_t end = std::min<std::int64_t>(x0 + count - 1, last);
        if (first > end) {
            const auto column = static_cast<std::uint32_t>(std::clamp<std::int64_t>(x0, 0, last));
            CopyRow(row, column, column, out);
            std::fill(out + 1, out + count, out[0]);
            return;
        }
        std::uint8_t* inside = out + (first - x0);
        CopyRow(row, static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(end), inside);
        std::fill(out, inside, inside[0]);
        std::fill(inside + (end - first) + 1, out + count, inside[end - first]);
    }
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
    // How much of the channel before's surprise at a place this channel
    // shares there, learnt by least squares: sums of products and squares.
    std::int64_t sharedSum = 0;
    std::int64_t referenceSum = 0;
};

// How a block's index was coded, remembered as context for its neighbours
// (and for the same block of the next channel).
enum class BlockKind : std::uint8_t { Left, Upper, NextNew, OtherNew, Near, Far };
inline constexpr int kBlockKinds = 6;

// The contexts of one channel's block indices.
struct IndexContexts {
    static constexpr int kNeighbourhoods = kBlockKinds * kBlockKinds * 2 * (kBlockKinds + 1);
    static constexpr int kNearCandidates = 8;
    std::array<AdaptiveBit, kNeighbourhoods> sameAsLeft{};
    std::array<AdaptiveBit, kNeighbourhoods> sameAsUpper{};
    std::array<AdaptiveBit, kNeighbourhoods> unused{};
    std::array<AdaptiveBit, kNeighbourhoods> nextNew{};
    AdaptiveBit nearNew;                             // a new neuron soon after the next
    std::array<AdaptiveBit, 16> newDistance{};       // how soon, by prefix
    AdaptiveBit nearFlag;                            // the same as a nearby block
    std::array<AdaptiveBit, kNearCandidates + 1> near{}; // which one, by candidate (the partner first)
    std::array<AdaptiveBit, 32> trailingBits{};      // the bits of a written index after the first 16, by place
};

// Codes the channels of a coded image one after another with one coder.
// `Coder` is BinaryRangeEncoder, BinaryRangeDecoder or a decoder that also
// counts the cost of each part; with the encoder the channels are read, with
// the decoders they are filled in (their vectors sized beforehand).
template <class Coder>
class ContextualImageModel {
public:
    explicit ContextualImageModel(Coder& coder) : coder_(coder) {}

    // Codes `channel`; `before` is the channel coded before it (or null),
    // whose picture helps where its plane is the same. False when a decoded
    // index is not below K or the decoder ran past its stream's end (checked
    // once a block row): the stream is damaged.
    bool CodeChannel(ContextualChannel& channel, const ContextualChannel* before) {
        const CodedSectionHeader& header = channel.header;
        if (header.neuronCount == 0) return true;  // nothing to code, not even work arrays
        picture_ = ChannelPicture(channel);
        const bool samePlane = before != nullptr && before->header.neuronCount > 0 &&
                               before->header.rows == header.rows && before->header.columns == header.columns;
        reference_ = samePlane ? ChannelPicture(*before) : ChannelPicture();
        const bool sameGrid = samePlane && ChannelPicture(*before).side == picture_.side;
        if (!sameGrid) previousKinds_.clear();
        // What this channel used where the channel before used a neuron,
        // last time: alike channels pair their neurons.
        partners_.assign(sameGrid ? before->header.neuronCount : 0, kNone);
        previousEntries_ = sameGrid ? before->entries.data() : nullptr;
        neuronCount_ = header.neuronCount;
        const std::uint32_t width = header.Width();
        const std::uint32_t side = picture_.side;
        stride_ = side + 4;
        patch_.assign(static_cast<std::size_t>(side + 2) * stride_, 0);
        referencePatch_.assign(static_cast<std::size_t>(side + 1) * (side + 1), 0);
        errors_.assign(side, 0);
        pixels_ = PixelContexts{};
        indices_ = IndexContexts{};
        // A written index learns by prefix for its first 16 bits, in one
        // tree per tone: what an adaptive frequency of each neuron among the
        // blocks of that tone comes to.
        leadingBits_.assign((std::size_t{2} << std::min<std::uint32_t>(width, 16)) * (256 >> kMeanShift), AdaptiveBit{});
        seen_.assign(neuronCount_, 0);
        unusedFrom_.resize(static_cast<std::size_t>(neuronCount_) + 1);
        for (std::uint32_t k = 0; k <= neuronCount_; ++k) unusedFrom_[k] = k;
        cursor_ = 0;
        kinds_.assign(header.FullBlocks(), BlockKind::Far);

        std::uint32_t* entries = channel.entries.data();
        for (std::uint32_t by = 0; by < picture_.blockRows; ++by) {
            if (RanOut()) return false;
            for (std::uint32_t bx = 0; bx < picture_.blockColumns; ++bx) {
                const std::size_t block = static_cast<std::size_t>(by) * picture_.blockColumns + bx;
                Enter(ContextualPart::Indices);
                const std::uint32_t index = CodeIndex(entries, by, bx, entries[block], width);
                if (index >= neuronCount_) return false;
                entries[block] = index;
                if (previousEntries_ != nullptr) partners_[previousEntries_[block]] = index;
                if (!seen_[index]) {
                    seen_[index] = 1;
                    unusedFrom_[index] = index + 1;
                    Enter(ContextualPart::Codebook);
                    CodeNeuron(channel.codebook.data(), index, by, bx);
                }
            }
        }
        Enter(ContextualPart::Codebook);
        for (std::uint32_t neuron = 0; neuron < neuronCount_; ++neuron) {
            if (seen_[neuron]) continue;
            if (neuron % 4096 == 0 && RanOut()) return false;
            CodeNeuron(channel.codebook.data(), neuron, kDetached, kDetached);
        }
        if (channel.tailCoded) {
            Enter(ContextualPart::Rest);
            for (std::size_t e = header.FullBlocks(); e < channel.entries.size(); ++e)
                entries[e] = coder_.CodeEven(entries[e], width);
        }
        previousKinds_ = std::move(kinds_);
        return true;
    }

private:
    static constexpr std::uint32_t kDetached = 0xFFFFFFFFu;
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    static constexpr std::uint32_t kNewDistances = 16;
    static constexpr int kMeanShift = 4;

    // Whether a decoder has read past its stream's end: the rest would be
    // made of nothing.
    bool RanOut() const {
        if constexpr (requires { coder_.Overrun(); }) return coder_.Overrun();
        return false;
    }

    // Tells a coder that counts the cost of each part which part follows.
    void Enter(ContextualPart part) {
        if constexpr (requires { coder_.SetPart(part); }) coder_.SetPart(part);
    }

    // ---- Block indices ------------------------------------------------------

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
    // little after it. A block that repeats a neuron mostly repeats one of a
    // nearby block's.
    std::uint32_t CodeIndex(const std::uint32_t* entries, std::uint32_t by, std::uint32_t bx, std::uint32_t index,
                            std::uint32_t width) {
        const std::uint32_t columns = picture_.blockColumns;
        const std::size_t block = static_cast<std::size_t>(by) * columns + bx;
        const bool hasLeft = bx > 0;
        const bool hasUpper = by > 0;
        const std::uint32_t left = hasLeft ? entries[block - 1] : kNone;
        const std::uint32_t upper = hasUpper ? entries[block - columns] : kNone;
        const int leftKind = hasLeft ? static_cast<int>(kinds_[block - 1]) : static_cast<int>(BlockKind::Far);
        const int upperKind = hasUpper ? static_cast<int>(kinds_[block - columns]) : static_cast<int>(BlockKind::Far);
        const int previousKind = previousKinds_.empty() ? kBlockKinds : static_cast<int>(previousKinds_[block]);
        const std::size_t context = static_cast<std::size_t>(
            ((leftKind * kBlockKinds + upperKind) * 2 + (hasLeft && left == upper ? 1 : 0)) * (kBlockKinds + 1) +
            previousKind);

        BlockKind kind;
        std::uint32_t result;
        if (hasLeft && coder_.Code(indices_.sameAsLeft[context], index == left)) {
            result = left;
            kind = BlockKind::Left;
        } else if (hasUpper && upper != left && coder_.Code(indices_.sameAsUpper[context], index == upper)) {
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
        const std::uint32_t next = UnusedFrom(cursor_);
        std::uint32_t distance = kNewDistances;
        for (std::uint32_t d = 0, candidate = next; d < kNewDistances && candidate < neuronCount_; ++d) {
            if (candidate == index) {
                distance = d;
                break;
            }
            candidate = UnusedFrom(candidate + 1);
        }
        kind = BlockKind::NextNew;
        if (next < neuronCount_ && coder_.Code(indices_.nextNew[context], distance == 0)) return FollowCursor(next);
        kind = BlockKind::OtherNew;
        if (coder_.Code(indices_.nearNew, distance < kNewDistances)) {
            // 1 to 15, in four bits most significant first.
            std::uint32_t prefix = 1;
            for (int bit = 3; bit >= 0; --bit)
                prefix = (prefix << 1) | coder_.Code(indices_.newDistance[prefix], (distance >> bit) & 1);
            std::uint32_t candidate = next;
            for (std::uint32_t d = 16; d < prefix && candidate < neuronCount_; ++d) candidate = UnusedFrom(candidate + 1);
            return FollowCursor(candidate);
        }
        return CodeWritten(index, width);
    }

    std::uint32_t FollowCursor(std::uint32_t neuron) {
        if (neuron < neuronCount_) cursor_ = neuron + 1;
        return neuron;
    }

    std::uint32_t CodeUsedIndex(const std::uint32_t* entries, std::uint32_t by, std::uint32_t bx, std::uint32_t index,
                                std::uint32_t width, std::uint32_t left, std::uint32_t upper, BlockKind& kind) {
        // Nearby blocks, nearest first, as (row, column) offsets; those that
        // repeat the left or the upper block are passed over, repeats among
        // them are not looked for.
        static constexpr std::array<std::array<std::int32_t, 2>, IndexContexts::kNearCandidates> kNearby = {
            {{-1, -1}, {-1, 1}, {0, -2}, {-2, 0}, {-1, -2}, {-1, 2}, {-2, -1}, {-2, 1}}};
        const std::uint32_t columns = picture_.blockColumns;
        std::array<std::uint32_t, IndexContexts::kNearCandidates + 1> candidates;
        std::uint32_t count = 0;
        if (previousEntries_ != nullptr) {
            const std::uint32_t partner = partners_[previousEntries_[static_cast<std::size_t>(by) * columns + bx]];
            candidates[count] = partner;
            count += (partner != kNone) & (partner != left) & (partner != upper);
        }
        const bool inside = by >= 2 && bx >= 2 && bx + 2 < columns;
        for (const auto& offset : kNearby) {
            const std::int64_t y = static_cast<std::int64_t>(by) + offset[0];
            const std::int64_t x = static_cast<std::int64_t>(bx) + offset[1];
            if (!inside && (y < 0 || x < 0 || x >= columns)) continue;
            const std::uint32_t neuron = entries[static_cast<std::size_t>(y) * columns + static_cast<std::size_t>(x)];
            candidates[count] = neuron;
            count += (neuron != left) & (neuron != upper);
        }
        std::uint32_t position = 0;
        while (position < count && candidates[position] != index) ++position;
        kind = BlockKind::Far;
        if (count == 0 || !coder_.Code(indices_.nearFlag, position < count)) {
            // The block's tone is probably that of its neighbours' edges next
            // to it, and the neurons used far away for blocks of a tone are
            // few: a written index learns per tone (16 classes of the mean).
            int sum = 0, pixels = 0;
            const std::uint32_t n = picture_.side;
            if (bx > 0) {
                const std::uint8_t* p = picture_.codebook + static_cast<std::size_t>(left) * picture_.dimension;
                for (std::uint32_t r = 0; r < n; ++r) sum += p[r * n + n - 1];
                pixels += static_cast<int>(n);
            }
            if (by > 0) {
                const std::uint8_t* p = picture_.codebook + static_cast<std::size_t>(upper) * picture_.dimension + (n - 1) * n;
                for (std::uint32_t c = 0; c < n; ++c) sum += p[c];
                pixels += static_cast<int>(n);
            }
            const int mean = pixels == 0 ? 128 : sum / pixels;
            return CodeWritten(index, width, static_cast<std::uint32_t>(mean >> kMeanShift));
        }
        kind = BlockKind::Near;
        // Which one, in unary: the nearest candidates are the likeliest.
        std::uint32_t c = 0;
        while (c + 1 < count && !coder_.Code(indices_.near[c], position == c)) ++c;
        return candidates[c];
    }

    // An index written out in `width` bits, most significant first; the
    // first 16 learn by prefix (in the tree of `tone`), the rest by place.
    std::uint32_t CodeWritten(std::uint32_t index, std::uint32_t width, std::uint32_t tone = 0) {
        const std::uint32_t leading = std::min<std::uint32_t>(width, 16);
        AdaptiveBit* tree = leadingBits_.data() + (static_cast<std::size_t>(tone) << (leading + 1));
        std::uint32_t prefix = 1;
        for (std::uint32_t bit = width; bit-- > width - leading;)
            prefix = (prefix << 1) | coder_.Code(tree[prefix], (index >> bit) & 1);
        std::uint32_t value = prefix - (1u << leading);
        for (std::uint32_t bit = width - leading; bit-- > 0;)
            value = (value << 1) | coder_.Code(indices_.trailingBits[bit], (index >> bit) & 1);
        return value;
    }

    // ---- Neuron pixels ------------------------------------------------------

    std::uint8_t& At(std::int32_t y, std::int32_t x) {
        return patch_[static_cast<std::size_t>(y + 2) * stride_ + static_cast<std::size_t>(x + 2)];
    }

    // Fills the patch's two rows above the block (from two columns left of it
    // to two right of it) and its two columns left of it from the picture,
    // where the picture has blocks there; what it lacks is filled in as the
    // pixels are coded (CodeNeuron).
    void FillBorders(std::uint32_t by, std::uint32_t bx) {
        const auto n = static_cast<std::int32_t>(picture_.side);
        topKnown_ = by != kDetached && by > 0;
        leftKnown_ = bx != kDetached && bx > 0;
        if (topKnown_) {
            const std::int64_t top = static_cast<std::int64_t>(by) * n;
            const std::int64_t x0 = static_cast<std::int64_t>(bx) * n - 2;
            for (std::int32_t r = -2; r <= -1; ++r) picture_.CopyClampedRow(top + r, x0, n + 4, &At(r, -2));
        }
        if (leftKnown_) {
            const std::int64_t x0 = static_cast<std::int64_t>(bx) * n - 2;
            for (std::int32_t r = 0; r < n; ++r)
                picture_.CopyClampedRow(static_cast<std::int64_t>(by) * n + r, x0, 2, &At(r, -2));
            if (!topKnown_) {
                for (std::int32_t c = -2; c <= -1; ++c) At(-1, c) = At(-2, c) = At(0, c);
            }
        } else if (topKnown_) {
            for (std::int32_t r = -2; r <= -1; ++r) At(r, -1) = At(r, -2) = At(r, 0);
        }
        if (!topKnown_ && !leftKnown_) At(0, -1) = At(0, -2) = 128;
    }

    // The channel before at the block's place: its pixels from one row above
    // to the block's last row and from one column left to its last column.
    bool FillReference(std::uint32_t by, std::uint32_t bx) {
        if (reference_.codebook == nullptr || by == kDetached) return false;
        const auto n = static_cast<std::int64_t>(picture_.side);
        const std::int64_t y0 = static_cast<std::int64_t>(by) * n;
        const std::int64_t x0 = static_cast<std::int64_t>(bx) * n;
        for (std::int64_t r = -1; r < n; ++r)
            reference_.CopyClampedRow(y0 + r, x0 - 1, static_cast<std::uint32_t>(n + 1),
                                      &referencePatch_[static_cast<std::size_t>(r + 1) * (n + 1)]);
        return true;
    }

    void CodeNeuron(std::uint8_t* codebook, std::uint32_t neuron, std::uint32_t by, std::uint32_t bx) {
        FillBorders(by, bx);
        // A neuron with no place starts from the one before it in the list,
        // coded by now: neighbours in the list were made from nearby blocks.
        if (by == kDetached && neuron > 0)
            At(0, -1) = At(0, -2) = codebook[static_cast<std::size_t>(neuron - 1) * picture_.dimension];
        const bool referenced = FillReference(by, bx);
        // The share of the channel before's surprise, in sixteenths, learnt
        // up to this neuron.
        share_ = !referenced || pixels_.referenceSum == 0
                     ? 0
                     : static_cast<int>(std::clamp<std::int64_t>(16 * pixels_.sharedSum / pixels_.referenceSum, 0, 20));
        const auto n = static_cast<std::int32_t>(picture_.side);
        std::uint8_t* pixels = codebook + static_cast<std::size_t>(neuron) * picture_.dimension;
        for (std::int32_t y = 0; y < n; ++y) {
            if (!leftKnown_ && (y > 0 || topKnown_)) At(y, -1) = At(y, -2) = At(y - 1, 0);
            const std::uint8_t* referenceRow = referencePatch_.data() + static_cast<std::size_t>(y + 1) * (n + 1) + 1;
            for (std::int32_t x = 0; x < n; ++x) {
                if (!topKnown_ && y == 0) {
                    const std::uint8_t w = At(0, x - 1);
                    At(-1, x - 1) = At(-1, x) = At(-1, x + 1) = w;
                    At(-2, x - 1) = At(-2, x) = At(-2, x + 1) = w;
                }
                int surprise = 0;
                if (referenced) {
                    const std::uint8_t* r = referenceRow + x;
                    surprise = r[0] - EdgePrediction(r[-1], r[-n - 1], r[-n - 2]);
                }
                const int value = CodePixel(x, y, surprise, pixels[y * n + x]);
                pixels[y * n + x] = static_cast<std::uint8_t>(value);
                At(y, x) = static_cast<std::uint8_t>(value);
            }
            // The right neighbours of the row are not coded yet: the rows
            // below see its last pixel there.
            At(y, n) = At(y, n + 1) = At(y, n - 1);
        }
    }

    // The median of the left, the upper and the plane through the upper-left
    // neighbour: the upper or the left one across an edge, else the plane.
    static int EdgePrediction(int w, int north, int nw) {
        if (nw >= std::max(w, north)) return std::min(w, north);
        if (nw <= std::min(w, north)) return std::max(w, north);
        return w + north - nw;
    }

    // 65536 / count (0 for none): the mean error without a division.
    static constexpr std::array<std::int32_t, 128> kReciprocals = [] {
        std::array<std::int32_t, 128> reciprocals{};
        for (int count = 1; count < 128; ++count) reciprocals[static_cast<std::size_t>(count)] = 65536 / count;
        return reciprocals;
    }();

    // A gradient's class, -4 to 4.
    static int GradientClass(int gradient) {
        static constexpr std::array<std::int8_t, 511> kClasses = [] {
            std::array<std::int8_t, 511> classes{};
            for (int g = -255; g <= 255; ++g) {
                const int magnitude = g < 0 ? -g : g;
                const int level = magnitude == 0 ? 0 : magnitude < 3 ? 1 : magnitude < 7 ? 2 : magnitude < 21 ? 3 : 4;
                classes[static_cast<std::size_t>(g + 255)] = static_cast<std::int8_t>(g < 0 ? -level : level);
            }
            return classes;
        }();
        return kClasses[static_cast<std::size_t>(gradient + 255)];
    }

    static int ActivityClass(int activity) {
        static constexpr std::array<std::uint8_t, 128> kClasses = [] {
            constexpr std::array<int, PixelContexts::kActivityClasses - 1> kBounds = {1, 3, 5, 8, 12, 17, 24, 34, 48, 68, 96};
            std::array<std::uint8_t, 128> classes{};
            for (int a = 0; a < 128; ++a) {
                int k = 0;
                while (k < PixelContexts::kActivityClasses - 1 && a >= kBounds[k]) ++k;
                classes[static_cast<std::size_t>(a)] = static_cast<std::uint8_t>(k);
            }
            return classes;
        }();
        return kClasses[static_cast<std::size_t>(std::min(activity, 127))];
    }

    // `surprise` is how far the channel before is from the same prediction
    // at the same place (0 without one).
    int CodePixel(std::int32_t x, std::int32_t y, int surprise, int pixel) {
        const int w = At(y, x - 1);
        const int nw = At(y - 1, x - 1);
        const int north = At(y - 1, x);
        const int ne = At(y - 1, x + 1);
        const int edge = EdgePrediction(w, north, nw);

        const int shared = (share_ * surprise + 8) >> 4;

        const int d1 = ne - north, d2 = north - nw, d3 = nw - w;
        int bias = (GradientClass(d1) * 9 + GradientClass(d2)) * 9 + GradientClass(d3);
        const int sign = bias < 0 ? -1 : 1;
        bias *= sign;
        const std::int32_t count = pixels_.errorCount[bias];
        const std::int32_t sum = pixels_.errorSum[bias];
        const auto correction =
            static_cast<int>((std::int64_t{sum} * kReciprocals[static_cast<std::size_t>(count)]) >> 16);
        const int predicted = std::clamp(edge + shared + sign * correction, 0, 255);

        const int activity = std::abs(d1) + std::abs(d2) + std::abs(d3) + 2 * std::abs(surprise) +
                             2 * ((x > 0 ? errors_[static_cast<std::size_t>(x - 1)] : 0) + (y > 0 ? errors_[static_cast<std::size_t>(x)] : 0));
        const int position = (y == 0 ? 1 : 0) + (x == 0 ? 2 : 0);
        ResidualContexts& contexts =
            pixels_.residuals[static_cast<std::size_t>(position * PixelContexts::kActivityClasses + ActivityClass(activity))];
        // The residual wraps around 256, so it always fits -128 to 127.
        const int residual = static_cast<std::int8_t>(static_cast<std::uint8_t>((pixel - predicted) * sign));
        const int value = static_cast<std::uint8_t>(predicted + sign * CodeResidual(coder_, contexts, residual));

        errors_[static_cast<std::size_t>(x)] = std::abs(value - predicted);
        pixels_.errorSum[bias] = sum + (value - predicted) * sign;
        pixels_.errorCount[bias] = count + 1;
        if (count + 1 >= 128) {
            pixels_.errorSum[bias] /= 2;
            pixels_.errorCount[bias] /= 2;
        }
        if (surprise != 0) {
            pixels_.sharedSum += static_cast<std::int64_t>(value - edge) * surprise;
            pixels_.referenceSum += static_cast<std::int64_t>(surprise) * surprise;
            if (pixels_.referenceSum > (std::int64_t{1} << 24)) {
                pixels_.sharedSum /= 2;
                pixels_.referenceSum /= 2;
            }
        }
        return value;
    }

    Coder& coder_;
    ChannelPicture picture_;    // the channel being coded
    ChannelPicture reference_;  // the channel before, when its plane is the same
    std::uint32_t neuronCount_ = 0, stride_ = 0;
    std::vector<std::uint8_t> patch_;           // (n + 2) x (n + 4): the block and two rows and columns around
    std::vector<std::uint8_t> referencePatch_;  // (n + 1) x (n + 1): the channel before, a row and column more
    bool topKnown_ = false, leftKnown_ = false;
    int share_ = 0;
    std::vector<int> errors_;  // |error| of the row above from x on, of this row before x
    PixelContexts pixels_;
    IndexContexts indices_;
    std::vector<AdaptiveBit> leadingBits_;    // the first bits of a written index, by tone and prefix
    std::vector<std::uint8_t> seen_;
    std::vector<std::uint32_t> unusedFrom_;  // links towards the first unused neuron at or after each
    std::uint32_t cursor_ = 0;
    std::vector<BlockKind> kinds_;           // of the channel's blocks coded so far
    std::vector<BlockKind> previousKinds_;   // of the channel before, when its blocks lie where these do
    const std::uint32_t* previousEntries_ = nullptr;  // the channel before's, when its blocks lie where these do
    std::vector<std::uint32_t> partners_;    // by neuron of the channel before
};

}  // namespace pictora
