// Coding, coded size and reconstruction of KohonenNetwork.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "quantizer/KohonenNetwork.h"
#include "support/WorkerPool.h"
#include "support/Truncate.h"

namespace pictora {

// Blocks are coded independently of each other once the neurons are fixed, so
// the fast search codes whole block rows on every core; the reference search
// stays the plain single-threaded scan. Progress is reported by the calling
// thread after each batch of rows, and wins and marks are counted afterwards
// in block order.
void KohonenNetwork::CodingScan() {
    const std::uint32_t side = block_.Side();
    const std::uint32_t blockRows = rows_ / side;
    WorkerPool& pool = WorkerPool::Shared();
    const bool parallel = !search_.Reference();
    const unsigned participants = parallel ? pool.Participants() : 1;
    std::vector<BlockVector> scratch(participants);
    for (BlockVector& block : scratch) block.Resize(dimension_);
    std::vector<BlockRow> rows(participants);

    const std::uint32_t batch = 16 * participants;
    for (std::uint32_t first = 0; first < blockRows; first += batch) {
        const std::uint32_t end = std::min(blockRows, first + batch);
        if (parallel) {
            pool.Run(end - first, [&](unsigned part, unsigned participant) {
                CodeBlockRow(scratch[participant], rows[participant], first + part);
            });
        } else {
            for (std::uint32_t r = first; r < end; ++r) CodeBlockRow(scratch[0], rows[0], r);
        }
        for (std::uint32_t r = first; r < end; ++r) ReportRow("coding", side * blockRows, r * side);
    }

    const std::uint32_t blocks = blockRows * (columns_ / side);
    for (std::uint32_t b = 0; b < blocks; ++b) {
        Neuron& neuron = neurons_.At(codes_[b]);
        neuron.used = true;
        ++neuron.wins;
    }
}

void KohonenNetwork::CodeBlockRow(BlockVector& scratch, BlockRow& blocks, std::uint32_t blockRow) {
    const std::uint32_t side = scratch.Side();
    const std::uint32_t blocksPerRow = columns_ / side;
    const bool hinted = trained_.size() == (rows_ / side) * blocksPerRow;
    blocks.Prepare(*source_, blockRow, blocksPerRow, scratch, search_);
    for (std::uint32_t k = 0; k < blocksPerRow; ++k) {
        const std::uint32_t b = blockRow * blocksPerRow + k;
        const bool trusted = hinted && trained_[b] < neurons_.Count();
        const std::int64_t hint = trusted ? static_cast<std::int64_t>(trained_[b]) : -1;
        const std::int64_t found = search_.Find(neurons_, neurons_.Count(), blocks.Vector(k), blocks.Sketch(k), 0.0, hint);
        codes_[b] = found < 0 ? 0 : static_cast<std::uint32_t>(found);
    }
}

Status KohonenNetwork::CodeBlocks() {
    if (Status ready = CheckReady(); !ready) return ready;
    if (neurons_.Count() == 0) return Status::Error(ErrorKind::InvalidSetting, "the channel has no neuron to code with");

    neurons_.ClearUsedMarks();
    neurons_.ClearWins();
    search_.Rebuild(neurons_, neurons_.Count());
    CodingScan();
    search_.Release();  // every pass indexes the neurons afresh
    trained_.clear();
    const std::vector<std::uint32_t> renumbered = SurvivorPositions();
    neurons_.PruneUnused();
    prunedCount_ = neurons_.Removed();
    if (prunedCount_ == 0) return Status::Ok();
    if (search_.Reference()) {
        // Positions shifted: code again against the pruned list.
        neurons_.ClearWins();
        CodingScan();
        return Status::Ok();
    }
    // Coding again would choose the same neurons: a removed neuron won no
    // block, so it was neither a block's best similarity nor the last of
    // equal ones, and removing it changes no block's winner. Only positions
    // change, and the wins each neuron counted stay right.
    const std::uint32_t side = block_.Side();
    const std::uint32_t blocks = (rows_ / side) * (columns_ / side);
    for (std::uint32_t b = 0; b < blocks; ++b) codes_[b] = renumbered[codes_[b]];
    return Status::Ok();
}

// The position each neuron will have once the unused ones are removed.
std::vector<std::uint32_t> KohonenNetwork::SurvivorPositions() const {
    std::vector<std::uint32_t> positions(neurons_.Count(), 0);
    std::uint32_t next = 0;
    for (std::uint32_t i = 0; i < neurons_.Count(); ++i) {
        positions[i] = next;
        if (neurons_.At(i).used) ++next;
    }
    return positions;
}

void KohonenNetwork::ComputeCodedSize(PlaneScale scale) {
    codedSize_ = pictora::ComputeCodedSize(rows_, columns_, dimension_, neurons_.Count(), scale);
}

Status KohonenNetwork::TrainStep(double radius, double alfa, std::uint32_t passes, PlaneScale scale) {
    if (Status trained = TrainingPass(radius, alfa, passes); !trained) return trained;
    if (Status coded = CodeBlocks(); !coded) return coded;
    RefreshPixels();
    ComputeCodedSize(scale);
    return Status::Ok();
}

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
                std::memcpy(rebuiltCopy_[r * side + i] + k * side, pixels, side);
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
