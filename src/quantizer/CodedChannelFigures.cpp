#include "quantizer/CodedChannelFigures.h"

#include <cmath>
#include <vector>

namespace pictora {

std::array<CodedChannelFigures, 3> MeasureCodedChannels(const CodedImageLayout& layout) {
    std::array<CodedChannelFigures, 3> figures;
    for (std::size_t c = 0; c < 3; ++c) {
        const CodedSectionLayout& section = layout.sections[c];
        const CodedSectionHeader& header = section.header;
        CodedChannelFigures& channel = figures[c];
        channel.neurons = header.neuronCount;
        channel.codebookBytes = static_cast<std::uint64_t>(header.neuronCount) * header.dimension;
        channel.blocks = header.FullBlocks();
        channel.indexBits = header.Width() * section.entries.size();
        if (channel.blocks == 0) continue;
        std::vector<std::uint64_t> uses(header.neuronCount, 0);
        for (std::uint64_t b = 0; b < channel.blocks; ++b) ++uses[section.entries[b]];
        double entropy = 0.0;
        const double blocks = static_cast<double>(channel.blocks);
        for (std::uint64_t count : uses)
            if (count > 0) entropy -= static_cast<double>(count) / blocks * std::log2(static_cast<double>(count) / blocks);
        channel.indexEntropyBits = entropy;
    }
    return figures;
}

}  // namespace pictora
