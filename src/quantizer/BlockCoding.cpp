// Coding and coded size of KohonenNetwork.
#include <algorithm>
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
    search_.Freeze();
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

}  // namespace pictora
