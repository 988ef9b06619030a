#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "quantizer/BlockRow.h"
#include "quantizer/BlockVector.h"
#include "quantizer/NeuronSearch.h"
#include "quantizer/NeuronList.h"
#include "support/ByteStream.h"
#include "support/Plane.h"
#include "support/Status.h"

namespace pictora {

// The growing codebook of one colour channel, with the channel's plane size,
// the code of every block and the planes rebuilt from those codes.
//
// Blocks are the n x n squares (n = trunc(sqrt(d))) whose corners lie on
// multiples of n; they are visited in raster order. Pixels right of the last
// full block column and below the last full block row belong to no block.
class KohonenNetwork {
public:
    // Told after every block row of a training or coding scan: the phase
    // ("training" or "coding"), the rows done and the plane's rows.
    using RowProgress = std::function<void(const char* phase, std::uint32_t rowsDone, std::uint32_t rows)>;

    // Largest plane side: block positions and neuron origins are 16-bit.
    static constexpr std::uint32_t kMaxSide = 65535;

    void Configure(std::uint32_t rows, std::uint32_t columns, const Plane* source = nullptr);
    void SetSource(const Plane* source);
    void SetPlaneSize(std::uint32_t rows, std::uint32_t columns);
    std::uint32_t Rows() const { return rows_; }
    std::uint32_t Columns() const { return columns_; }

    // Empties the codebook and allocates the work arrays for blocks of d pixels
    // at the current plane size; the rebuilt planes and the mask start at zero.
    void Reset(std::uint32_t dimension);
    void ReleaseWork();
    void Destroy();
    void RefreshPixels();

    // Whether a training or coding pass can run: d a square of at least 1,
    // the work arrays allocated, a source bound that covers the plane, and a
    // plane that holds at least one full block and fits 16-bit positions.
    Status CheckReady() const;

    // Training: `passes` raster scans; a block within radius R of its nearest
    // neuron moves that neuron toward itself by alfa, any other block becomes a
    // new neuron (threshold T = 1 - R*R/2 on the similarity).
    Status TrainingPass(double radius, double alfa, std::uint32_t passes);
    // Codes every block as its nearest neuron, then removes the neurons that
    // code no block and codes again with the pruned list.
    Status CodeBlocks();
    void ComputeCodedSize(int mode);
    // One step of the coding job: training, coding with pruning, pixel refresh
    // and coded size.
    Status TrainStep(double radius, double alfa, std::uint32_t passes, int mode);
    // Pastes each block's neuron back into `rebuilt` and `rebuiltCopy`; with
    // drawMasks also frames, in `mask`, where each neuron in use was created.
    void Rebuild(bool drawMasks);

    // Appends the channel's section of a coded-image file: its plane size,
    // block dimension, codebook in pixel form and packed codes. Needs a coding
    // pass and RefreshPixels since the last training.
    Status WriteCoded(ByteWriter& out) const;
    // Reads one coded-image section, checked whole before anything changes,
    // replaces the codebook and codes and rebuilds the channel (no masks).
    // The work planes get planeRows x planeColumns when those are larger than
    // the section's plane (the half-size chroma of 4:2:0 later takes the
    // upsampled image); 0 means the section's own size.
    Status ReadCoded(ByteReader& in, std::uint32_t planeRows = 0, std::uint32_t planeColumns = 0);
    // Appends one codebook section with the neurons' full-precision weights.
    Status WriteCodebook(ByteWriter& out, int colourCode) const;
    // Reads one checked codebook section into the network at its current plane
    // size and source, replacing its neurons; `colourCode` gets the section's
    // colour-space byte. Pixels are computed later, by RefreshPixels.
    Status ReadCodebook(ByteReader& in, int& colourCode);

    std::uint32_t Dimension() const { return dimension_; }
    const Plane* Source() const { return source_; }
    std::uint32_t NeuronCount() const { return neuronCount_; }
    std::uint32_t PrunedCount() const { return prunedCount_; }
    std::uint32_t CodebookBytes() const { return codebookBytes_; }
    std::uint32_t BlockCount() const { return blockCount_; }
    std::uint32_t CodedBytes() const { return codedBytes_; }
    double Ratio() const { return ratio_; }
    std::uint32_t Wins(std::uint32_t i) const { return neurons_.At(i).wins; }
    std::uint32_t Trainings(std::uint32_t i) const { return neurons_.At(i).trainings; }

    const NeuronList& Neurons() const { return neurons_; }
    NeuronList& Neurons() { return neurons_; }
    const std::vector<std::uint32_t>& Codes() const { return codes_; }
    std::vector<std::uint32_t>& Codes() { return codes_; }
    void SetNeuronCount(std::uint32_t count) { neuronCount_ = count; }
    void SetProgress(RowProgress progress) { progress_ = std::move(progress); }
    // Whether training and coding use the plain ordered scan, one neuron after
    // another on one thread, instead of the indexed vector search. Both give
    // the same results; the plain scan is the reference the other is held to.
    void SetReferenceSearch(bool reference) { search_.SetReference(reference); }

    Plane& Rebuilt() { return rebuilt_; }
    const Plane& Rebuilt() const { return rebuilt_; }
    Plane& RebuiltCopy() { return rebuiltCopy_; }
    const Plane& RebuiltCopy() const { return rebuiltCopy_; }
    const Plane& Mask() const { return mask_; }

private:
    void TrainBlockRow(const BlockRow& blocks, std::uint32_t blockRow, double threshold, double alfa,
                       std::uint32_t& count);
    void CodingScan();
    void CodeBlockRow(BlockVector& scratch, BlockRow& blocks, std::uint32_t blockRow);
    std::vector<std::uint32_t> SurvivorPositions() const;
    void DrawOriginFrame(const Neuron& neuron, std::uint32_t side);
    void Mark(std::uint32_t row, std::uint32_t column);
    void ReportRow(const char* phase, std::uint32_t rowEnd, std::uint32_t row) const;

    std::uint32_t rows_ = 0;
    std::uint32_t columns_ = 0;
    std::uint32_t dimension_ = 0;
    const Plane* source_ = nullptr;
    BlockVector block_;
    NeuronList neurons_;
    NeuronSearch search_;
    // The neuron each block trained (moved or became) in the latest training
    // pass: a good first guess at the neuron that codes it next. Empty when
    // positions have shifted since.
    std::vector<std::uint32_t> trained_;
    std::vector<std::uint32_t> codes_;
    std::uint32_t neuronCount_ = 0;
    std::uint32_t prunedCount_ = 0;
    std::uint32_t codebookBytes_ = 0;
    std::uint32_t blockCount_ = 0;
    std::uint32_t codedBytes_ = 0;
    double ratio_ = 0.0;
    Plane rebuilt_;
    Plane rebuiltCopy_;
    Plane mask_;
    RowProgress progress_;
};

}  // namespace pictora
