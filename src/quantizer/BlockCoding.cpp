// Coding and coded size of KohonenNetwork.
#include <algorithm>
#include <string>
#include <vector>

#include "quantizer/KohonenNetwork.h"
#include "quantizer/LeastErrorSearch.h"
#include "support/WorkerPool.h"
#include "support/Truncate.h"

namespace pictora {

// Blocks are coded independently of each other once the neurons are fixed, so
// the fast search codes whole block rows on every core; the reference search
// stays the plain single-threaded scan. Progress is reported by the calling
// thread after each batch of rows, and wins and marks are counted afterwards
// in block order.
void KohonenNetwork::CodingScan(CodeBy criterion) {
    const std::uint32_t side = block_.Side();
    const std::uint32_t blockRows = rows_ / side;
    WorkerPool& pool = WorkerPool::Shared();
    const bool parallel = !search_.Reference();
    const unsigned participants = parallel ? pool.Participants() : 1;
    std::vector<BlockVector> scratch(criterion == CodeBy::Similarity ? participants : 0);
    for (BlockVector& block : scratch) block.Resize(dimension_);
    std::vector<BlockRow> rows(scratch.size());
    std::vector<BlockPixels> pixels(criterion == CodeBy::Error ? participants : 0);
    for (BlockPixels& block : pixels) block.Resize(side);
    const auto codeRow = [&](std::uint32_t row, unsigned participant) {
        if (criterion == CodeBy::Error) CodeBlockRowByError(pixels[participant], row);
        else CodeBlockRow(scratch[participant], rows[participant], row);
    };

    const std::uint32_t batch = 16 * participants;
    for (std::uint32_t first = 0; first < blockRows; first += batch) {
        const std::uint32_t end = std::min(blockRows, first + batch);
        if (parallel) {
            pool.Run(end - first, [&](unsigned part, unsigned participant) { codeRow(first + part, participant); });
        } else {
            for (std::uint32_t r = first; r < end; ++r) codeRow(r, 0);
        }
        for (std::uint32_t r = first; r < end; ++r) ReportRow("coding", side * blockRows, r * side);
    }
    CountWins();
}

void KohonenNetwork::CountWins() {
    const std::uint32_t side = BlockSide(dimension_);
    const std::uint32_t blocks = (rows_ / side) * (columns_ / side);
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

// The neuron a block trained, or else the one that codes it now (after a
// refinement moved it), is a good first guess.
void KohonenNetwork::CodeBlockRowByError(BlockPixels& scratch, std::uint32_t blockRow) {
    const std::uint32_t side = scratch.Side();
    const std::uint32_t blocksPerRow = columns_ / side;
    const bool trainedHints = trained_.size() == (rows_ / side) * blocksPerRow;
    for (std::uint32_t k = 0; k < blocksPerRow; ++k) {
        const std::uint32_t b = blockRow * blocksPerRow + k;
        scratch.Gather(*source_, blockRow * side, k * side);
        BestError best;
        if (ScansPlainly()) {
            best = ScanLeastError(neurons_, neurons_.Count(), scratch.Bytes());
        } else {
            const std::uint32_t guess = trainedHints ? trained_[b] : codes_[b];
            best = FindLeastError(pixelIndex_, scratch, guess < neurons_.Count() ? guess : -1);
        }
        codes_[b] = static_cast<std::uint32_t>(best.position);
    }
}

Status KohonenNetwork::CodeBlocks() {
    if (Status ready = CheckReady(); !ready) return ready;
    if (neurons_.Count() == 0) return Status::Error(ErrorKind::InvalidSetting, "the channel has no neuron to code with");

    const CodeBy criterion = method_.codeBy;
    neurons_.ClearUsedMarks();
    neurons_.ClearWins();
    if (criterion == CodeBy::Similarity) {
        search_.Rebuild(neurons_, neurons_.Count());
        search_.Freeze();
    } else if (!ScansPlainly()) {
        pixelIndex_.Build(neurons_, neurons_.Count());
    }
    CodingScan(criterion);
    search_.Release();  // every pass indexes the neurons afresh
    pixelIndex_.Release();
    trained_.clear();
    prunedCount_ = RemoveUnused(criterion);
    return Status::Ok();
}

// Removes the neurons no block chose. Coding again would choose the same
// neurons: a removed neuron won no block, so it was neither a block's best
// nor the last of equal ones, and removing it changes no block's winner.
// Only positions change, and the wins each neuron counted stay right. The
// reference search codes again all the same (by `criterion`), as the plain
// scan always has. Returns the number removed.
std::uint32_t KohonenNetwork::RemoveUnused(CodeBy criterion) {
    const std::vector<std::uint32_t> renumbered = SurvivorPositions();
    neurons_.PruneUnused();
    const std::uint32_t removed = neurons_.Removed();
    if (removed == 0) return 0;
    if (search_.Reference()) {
        neurons_.ClearWins();
        CodingScan(criterion);
        return removed;
    }
    const std::uint32_t side = block_.Side();
    const std::uint32_t blocks = (rows_ / side) * (columns_ / side);
    for (std::uint32_t b = 0; b < blocks; ++b) codes_[b] = renumbered[codes_[b]];
    return removed;
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

Status KohonenNetwork::Code() {
    RefreshPixels();
    if (Status coded = CodeBlocks(); !coded) return coded;
    Refine(method_.refine);
    PruneForRate(method_.lambda);
    return Status::Ok();
}

void KohonenNetwork::ComputeCodedSize(PlaneScale scale) {
    codedSize_ = pictora::ComputeCodedSize(rows_, columns_, dimension_, neurons_.Count(), scale);
}

Status KohonenNetwork::TrainStep(double radius, double alfa, std::uint32_t passes, PlaneScale scale) {
    if (Status trained = TrainingPass(radius, alfa, passes); !trained) return trained;
    if (Status coded = Code(); !coded) return coded;
    ComputeCodedSize(scale);
    return Status::Ok();
}

}  // namespace pictora
