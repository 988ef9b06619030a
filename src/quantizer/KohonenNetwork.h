#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "quantizer/BlockPixels.h"
#include "quantizer/BlockRow.h"
#include "quantizer/BlockVector.h"
#include "quantizer/CodedSize.h"
#include "quantizer/CodingMethod.h"
#include "quantizer/PixelIndex.h"
#include "quantizer/NeuronSearch.h"
#include "quantizer/NeuronList.h"
#include "support/Plane.h"
#include "support/RowArrival.h"
#include "support/Status.h"

namespace pictora {

// The growing codebook of one colour channel, with the channel's plane size,
// the code of every block and the planes rebuilt from those codes.
//
// Blocks are the n x n squares (n = trunc(sqrt(d))) whose corners lie on
// multiples of n; they are visited in raster order. Pixels right of the last
// full block column and below the last full block row belong to no block;
// rebuilding repeats the nearest block pixel into them.
class KohonenNetwork {
public:
    // Told after every block row of a training or coding scan: the phase
    // ("training" or "coding"), the rows done and the plane's rows.
    using RowProgress = std::function<void(const char* phase, std::uint32_t rowsDone, std::uint32_t rows)>;

    // Largest plane side: block positions and neuron origins are 16-bit.
    static constexpr std::uint32_t kMaxSide = 65535;
    // Most pixels of a plane read from a file: as many as the largest image
    // the program reads, which no file it writes can exceed.
    static constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 28;

    void Configure(std::uint32_t rows, std::uint32_t columns, const Plane* source = nullptr);
    void SetSource(const Plane* source);
    void ClearSource() { source_ = nullptr; }
    // While a source is still being filled from the top: training waits for
    // the rows of each block row (nullptr: the source is complete).
    void SetSourceArrival(const RowArrival* arrival) { arrival_ = arrival; }
    void SetPlaneSize(std::uint32_t rows, std::uint32_t columns);
    std::uint32_t Rows() const { return rows_; }
    std::uint32_t Columns() const { return columns_; }

    // Empties the codebook and allocates the work arrays for blocks of d pixels
    // at the current plane size; the rebuilt planes and the mask start at zero.
    // (The mask keeps that size even when the plane size changes afterwards.)
    void Reset(std::uint32_t dimension);
    // The same for a channel read from a file without a codebook: the planes
    // and the block dimension, but no work arrays, which nothing in such a
    // file justifies (its blocks may be as large as the image). Training it
    // takes a Reset first.
    void ResetWithoutWork(std::uint32_t dimension);
    // Whether the work arrays of the current block dimension are allocated.
    bool HoldsWork() const { return dimension_ != 0 && block_.Dimension() == dimension_; }
    // Empties the codebook and frees the work arrays.
    void ReleaseWork();
    void RefreshPixels();

    // Whether a training or coding pass can run: d a square of at least 1,
    // the work arrays allocated, a source bound that covers the plane, and a
    // plane that holds at least one full block and fits 16-bit positions.
    Status CheckReady() const;

    // Training: `passes` raster scans; a block within radius R of its nearest
    // neuron moves that neuron toward itself by alfa, any other block becomes a
    // new neuron (threshold T = 1 - R*R/2 on the similarity).
    Status TrainingPass(double radius, double alfa, std::uint32_t passes);
    // Codes every block as its nearest neuron by the method's criterion, then
    // removes the neurons that code no block and codes again with the pruned
    // list.
    Status CodeBlocks();
    // The whole coding of the method: the pixels refreshed from the weights,
    // CodeBlocks, then the method's refinement and rate-aware pruning.
    Status Code();
    void ComputeCodedSize(PlaneScale scale);
    // One step of the coding job: training, Code and coded size.
    Status TrainStep(double radius, double alfa, std::uint32_t passes, PlaneScale scale);

    // How blocks are coded, refined and pruned (CodingMethod): the defaults
    // until set.
    void SetCodingMethod(const CodingMethod& method) { method_ = method; }
    const CodingMethod& Method() const { return method_; }
    // Lloyd iterations on the current coding: every neuron's pixels become
    // the rounded mean of its blocks, and its weights their normalised
    // vector; every block is coded again by least error; neurons that code no
    // block are removed.
    void Refine(std::uint32_t iterations);
    // Rate-aware pruning at `lambda` squared error per bit (see the README):
    // while removing some neuron lowers error + lambda * bits, the one whose
    // removal adds the least error goes, its blocks to their neurons of least
    // error among those left. Nothing happens unless lambda > 0; one neuron
    // always stays.
    void PruneForRate(double lambda);
    // The sum of squared differences between the full blocks and the pixels
    // of their neurons.
    std::uint64_t CodingError() const;
    // Rebuilds the channel's plane in `rebuilt` from the codes (RebuildPlane);
    // with drawMasks the mask frames, from then on, where each neuron in use
    // was created.
    void Rebuild(bool drawMasks);
    // Every neuron's pixels, neuron after neuron: the codebook as a coded
    // image holds it.
    std::vector<std::uint8_t> CodebookPixels() const;

    std::uint32_t Dimension() const { return dimension_; }
    const Plane* Source() const { return source_; }
    // The codebook's size: its list is the only count there is.
    std::uint32_t NeuronCount() const { return neurons_.Count(); }
    std::uint32_t PrunedCount() const { return prunedCount_; }
    const CodedSize& Size() const { return codedSize_; }
    std::uint32_t CodebookBytes() const { return codedSize_.codebookBytes; }
    std::uint32_t BlockCount() const { return codedSize_.blockCount; }
    std::uint32_t CodedBytes() const { return codedSize_.codedBytes; }
    double Ratio() const { return codedSize_.ratio; }
    std::uint32_t Wins(std::uint32_t i) const { return neurons_.At(i).wins; }
    std::uint32_t Trainings(std::uint32_t i) const { return neurons_.At(i).trainings; }

    const NeuronList& Neurons() const { return neurons_; }
    NeuronList& Neurons() { return neurons_; }
    const std::vector<std::uint32_t>& Codes() const { return codes_; }
    std::vector<std::uint32_t>& Codes() { return codes_; }
    void SetPrunedCount(std::uint32_t count) { prunedCount_ = count; }
    void SetProgress(RowProgress progress) { progress_ = std::move(progress); }
    // Whether training and coding use the plain ordered scan, one neuron after
    // another on one thread, instead of the indexed vector search. Both give
    // the same results; the plain scan is the reference the other is held to.
    void SetReferenceSearch(bool reference) { search_.SetReference(reference); }

    Plane& Rebuilt() { return rebuilt_; }
    const Plane& Rebuilt() const { return rebuilt_; }
    // The mask, drawn when asked for (only the desktop program shows it):
    // frames after Rebuild(true), zeros after any other Rebuild and after Reset.
    Plane Mask() const;

private:
    void TrainBlockRow(const BlockRow& blocks, std::uint32_t blockRow, double threshold, double alfa,
                       std::uint32_t& count);
    void CodingScan(CodeBy criterion);
    void CodeBlockRow(BlockVector& scratch, BlockRow& blocks, std::uint32_t blockRow);
    void CodeBlockRowByError(BlockPixels& scratch, std::uint32_t blockRow);
    void CountWins();
    std::uint32_t RemoveUnused(CodeBy criterion);
    // Whether least-error searches run the plain scan: in reference mode, and
    // for blocks too large for the integer kernels (foreign codebooks).
    bool ScansPlainly() const { return search_.Reference() || BlockSide(dimension_) > PixelIndex::kLargestSide; }
    std::vector<std::uint32_t> SurvivorPositions() const;
    void DrawOriginFrame(const Neuron& neuron, std::uint32_t side, Plane& mask) const;
    void Mark(std::uint32_t row, std::uint32_t column, Plane& mask) const;
    void ReportRow(const char* phase, std::uint32_t rowEnd, std::uint32_t row) const;
    bool SourceHoldsBlockRow(std::uint32_t blockRow) const;

    std::uint32_t rows_ = 0;
    std::uint32_t columns_ = 0;
    std::uint32_t dimension_ = 0;
    const Plane* source_ = nullptr;
    const RowArrival* arrival_ = nullptr;
    BlockVector block_;
    NeuronList neurons_;
    NeuronSearch search_;
    // The codebook's pixels while blocks are coded by least error.
    PixelIndex pixelIndex_;
    CodingMethod method_;
    // The neuron each block trained (moved or became) in the latest training
    // pass: a good first guess at the neuron that codes it next. Empty when
    // positions have shifted since.
    std::vector<std::uint32_t> trained_;
    std::vector<std::uint32_t> codes_;
    std::uint32_t prunedCount_ = 0;
    CodedSize codedSize_;
    Plane rebuilt_;
    std::uint32_t maskRows_ = 0;
    std::uint32_t maskColumns_ = 0;
    bool originsFramed_ = false;
    RowProgress progress_;
};

}  // namespace pictora
