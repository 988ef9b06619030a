#include "quantizer/CodedSize.h"

#include "support/Truncate.h"

namespace pictora {

CodedSize ComputeCodedSize(std::uint32_t rows, std::uint32_t columns, std::uint32_t dimension,
                           std::uint32_t neurons, PlaneScale scale) {
    CodedSize size;
    const std::uint32_t planeSize = rows * columns;
    size.codebookBytes = dimension * neurons;
    size.blockCount = dimension == 0 ? 0 : planeSize / dimension;
    size.codedBytes = size.codebookBytes + (BitLength(neurons) * size.blockCount) / 8;
    const std::uint32_t reference = scale == PlaneScale::Half ? 4 * planeSize : planeSize;
    size.ratio = static_cast<double>(size.codedBytes) / reference;
    return size;
}

}  // namespace pictora
