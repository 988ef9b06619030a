#include "pipeline/StepResult.h"

namespace pictora {

std::uint32_t StepResult::TotalNeurons() const {
    return channels[0].neurons + channels[1].neurons + channels[2].neurons;
}

std::uint32_t StepResult::TotalPruned() const { return channels[0].pruned + channels[1].pruned + channels[2].pruned; }

}  // namespace pictora
