// Coding, coded size and reconstruction of KohonenNetwork.
#include <string>

#include "quantizer/KohonenNetwork.h"
#include "quantizer/NearestNeuron.h"
#include "support/Truncate.h"

namespace pictora {

void KohonenNetwork::CodingScan() {
    const std::uint32_t side = block_.Side();
    const std::uint32_t rowEnd = side * (rows_ / side);
    const std::uint32_t columnEnd = side * (columns_ / side);
    std::uint32_t block = 0;
    for (std::uint32_t row = 0; row < rowEnd; row += side) {
        for (std::uint32_t column = 0; column < columnEnd; column += side) {
            block_.Gather(*source_, row, column);
            std::int64_t found = FindNearestNeuron(neurons_, neuronCount_, block_.Values(), 0.0);
            const std::uint32_t winner = found < 0 ? 0 : static_cast<std::uint32_t>(found);
            codes_[block++] = winner;
            Neuron& neuron = neurons_.At(winner);
            neuron.used = true;
            ++neuron.wins;
        }
        ReportRow("coding", rowEnd, row);
    }
}

Status KohonenNetwork::CodeBlocks() {
    if (Status ready = CheckReady(); !ready) return ready;
    if (neuronCount_ == 0) return Status::Error("the channel has no neuron to code with");

    neurons_.ClearUsedMarks();
    neurons_.ClearWins();
    CodingScan();
    neurons_.PruneUnused();
    neuronCount_ = neurons_.Count();
    prunedCount_ = neurons_.Removed();
    if (prunedCount_ > 0) {
        // Positions shifted: code again against the pruned list.
        neurons_.ClearWins();
        CodingScan();
    }
    return Status::Ok();
}

void KohonenNetwork::ComputeCodedSize(int mode) {
    // Unsigned 32-bit arithmetic, as the coded-image format counts it.
    const std::uint32_t planeSize = rows_ * columns_;
    codebookBytes_ = dimension_ * neuronCount_;
    blockCount_ = dimension_ == 0 ? 0 : planeSize / dimension_;
    const std::uint32_t indexWidth = BitLength(neuronCount_);
    codedBytes_ = codebookBytes_ + (indexWidth * blockCount_) / 8;
    const std::uint32_t reference = mode == 2 ? 4 * planeSize : planeSize;
    ratio_ = static_cast<double>(codedBytes_) / reference;
}

Status KohonenNetwork::TrainStep(double radius, double alfa, std::uint32_t passes, int mode) {
    if (Status trained = TrainingPass(radius, alfa, passes); !trained) return trained;
    if (Status coded = CodeBlocks(); !coded) return coded;
    RefreshPixels();
    ComputeCodedSize(mode);
    return Status::Ok();
}

void KohonenNetwork::Rebuild(bool drawMasks) {
    const std::uint32_t side = BlockSide(dimension_);
    if (neuronCount_ == 0 || side == 0 || rebuilt_.Height() < rows_ || rebuilt_.Width() < columns_) return;
    const std::uint32_t blockRows = rows_ / side;
    const std::uint32_t blocksPerRow = columns_ / side;

    std::uint32_t block = 0;
    for (std::uint32_t r = 0; r < blockRows; ++r) {
        for (std::uint32_t k = 0; k < blocksPerRow; ++k) {
            const Neuron& neuron = neurons_.At(codes_[block++]);
            for (std::uint32_t i = 0; i < side; ++i) {
                std::uint8_t* rebuiltRow = rebuilt_[r * side + i] + k * side;
                std::uint8_t* copyRow = rebuiltCopy_[r * side + i] + k * side;
                for (std::uint32_t j = 0; j < side; ++j) {
                    rebuiltRow[j] = neuron.pixels[i * side + j];
                    copyRow[j] = rebuiltRow[j];
                }
            }
        }
    }
    if (!drawMasks) return;

    for (std::uint32_t i = 0; i < rows_; ++i)
        for (std::uint32_t j = 0; j < columns_; ++j) mask_[i][j] = 0;
    const std::uint32_t blocks = blockRows * blocksPerRow;
    for (block = 0; block < blocks; ++block) DrawOriginFrame(neurons_.At(codes_[block]), side);
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
