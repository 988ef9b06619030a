#include "quantizer/CodedChannelFigures.h"

#include <cmath>
#include <vector>

#include "support/Truncate.h"

namespace pictora {

CodedChannelFigures MeasureCodedChannel(const CodedChannel& channel) {
    CodedChannelFigures figures;
    figures.neurons = channel.NeuronCount();
    figures.codebookBytes = channel.codebook.size();
    figures.blocks = channel.codes.size();
    // The index block stores an entry for every d pixels of the plane, edge
    // remainders included, in the bit length of K.
    const std::uint64_t entries =
        figures.neurons == 0 ? 0 : std::uint64_t{channel.rows} * channel.columns / channel.Dimension();
    figures.indexBits = BitLength(figures.neurons) * entries;
    if (figures.blocks == 0) return figures;
    std::vector<std::uint64_t> uses(figures.neurons, 0);
    for (std::uint32_t code : channel.codes) ++uses[code];
    double entropy = 0.0;
    const double blocks = static_cast<double>(figures.blocks);
    for (std::uint64_t count : uses)
        if (count > 0) entropy -= static_cast<double>(count) / blocks * std::log2(static_cast<double>(count) / blocks);
    figures.indexEntropyBits = entropy;
    return figures;
}

}  // namespace pictora
