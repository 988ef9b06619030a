// Training pass of KohonenNetwork: a growing, winner-only competitive scheme.
#include <array>
#include <atomic>
#include <vector>

#include "quantizer/BlockRow.h"
#include "quantizer/KohonenNetwork.h"
#include "support/WorkerPool.h"

namespace pictora {
namespace {

Status SourceEndedEarly() {
    return Status::Error(ErrorKind::DamagedFile, "the image ended before the rows of its blocks");
}

}  // namespace

// Blocks are trained one after another, since each may move or add a neuron
// the next one searches. Only the preparation of the blocks is independent of
// the neurons: with the fast search, the next row is prepared on another core
// while this one trains, unless the searches themselves use all cores.
Status KohonenNetwork::TrainingPass(double radius, double alfa, std::uint32_t passes) {
    if (passes == 0) return Status::Ok();
    if (Status ready = CheckReady(); !ready) return ready;
    if (!SourceHoldsBlockRow(0)) return SourceEndedEarly();

    std::uint32_t count = neurons_.Count();
    const double threshold = 1.0 - radius * radius * 0.5;
    const std::uint32_t side = block_.Side();
    const std::uint32_t blockRows = rows_ / side;
    const std::uint32_t blocksPerRow = columns_ / side;
    search_.Rebuild(neurons_, count);
    trained_.assign(blockRows * blocksPerRow, 0);

    WorkerPool& pool = WorkerPool::Shared();
    std::vector<BlockVector> scratch(pool.Participants());
    for (BlockVector& block : scratch) block.Resize(dimension_);
    std::array<BlockRow, 2> ready;
    ready[0].Prepare(*source_, 0, blocksPerRow, scratch[0], search_);
    std::uint32_t current = 0;
    std::atomic<bool> sourceEnded{false};

    for (std::uint32_t pass = 0; pass < passes; ++pass) {
        for (std::uint32_t r = 0; r < blockRows; ++r) {
            const bool last = pass + 1 == passes && r + 1 == blockRows;
            const std::uint32_t next = r + 1 == blockRows ? 0 : r + 1;
            const auto work = [&](unsigned part, unsigned participant) {
                if (part == 0) TrainBlockRow(ready[current], r, threshold, alfa, count);
                else if (SourceHoldsBlockRow(next))
                    ready[1 - current].Prepare(*source_, next, blocksPerRow, scratch[participant], search_);
                else
                    sourceEnded = true;
            };
            if (search_.Reference() || search_.Exhaustive()) {
                for (unsigned part = 0; part < (last ? 1u : 2u); ++part) work(part, 0);
            } else {
                pool.Run(last ? 1 : 2, work);
            }
            if (sourceEnded) {
                search_.Release();
                return SourceEndedEarly();
            }
            current = 1 - current;
            ReportRow("training", side * blockRows, r * side);
        }
    }
    search_.Release();  // every pass indexes the neurons afresh
    return Status::Ok();
}

bool KohonenNetwork::SourceHoldsBlockRow(std::uint32_t blockRow) const {
    return arrival_ == nullptr || arrival_->WaitFor((blockRow + 1) * BlockSide(dimension_));
}

void KohonenNetwork::TrainBlockRow(const BlockRow& blocks, std::uint32_t blockRow, double threshold, double alfa,
                                   std::uint32_t& count) {
    const std::uint32_t side = block_.Side();
    const std::uint32_t blocksPerRow = columns_ / side;
    for (std::uint32_t k = 0; k < blocksPerRow; ++k) {
        const double* vector = blocks.Vector(k);
        const std::uint32_t b = blockRow * blocksPerRow + k;
        // The neuron the left neighbour trained (or the one above, at the
        // start of a row) often wins again, and its similarity, computed
        // first, narrows the search at once.
        std::int64_t hint = -1;
        if (k > 0) hint = trained_[b - 1];
        else if (blockRow > 0) hint = trained_[b - blocksPerRow];
        const std::int64_t winner =
            count == 0 ? -1 : search_.Find(neurons_, count, vector, blocks.Sketch(k), threshold, hint);
        if (winner >= 0) {
            const auto position = static_cast<std::uint32_t>(winner);
            neurons_.At(position).MoveToward(vector, alfa);
            search_.Moved(position, neurons_.At(position));
            trained_[b] = position;
        } else {
            neurons_.Append(vector, static_cast<std::uint16_t>(k * side), static_cast<std::uint16_t>(blockRow * side));
            search_.Appended(neurons_);
            trained_[b] = count++;
        }
    }
}

}  // namespace pictora
