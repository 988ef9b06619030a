#include "pipeline/StepResult.h"

#include "measures/BitsPerPixel.h"

namespace pictora {

std::uint32_t StepResult::TotalNeurons() const {
    return channels[0].neurons + channels[1].neurons + channels[2].neurons;
}

std::uint32_t StepResult::TotalPruned() const { return channels[0].pruned + channels[1].pruned + channels[2].pruned; }

std::optional<double> StepResult::LosslessRate() const {
    if (losslessRatio <= 0.0) return std::nullopt;
    return losslessRatio;
}

std::optional<double> StepResult::TotalRate() const {
    if (losslessRatio <= 0.0) return std::nullopt;
    return compressionRate * losslessRatio;
}

std::optional<double> StepResult::LosslessBpp() const {
    if (losslessBytes == 0) return std::nullopt;
    return BitsPerPixel(losslessBytes, width, height);
}

MethodSettings MethodOfResult(StepOrigin origin, const MethodSettings& method) {
    if (origin != StepOrigin::DecodedFile) return method;
    MethodSettings shown;
    shown.deblock = method.deblock;
    return shown;
}

}  // namespace pictora
