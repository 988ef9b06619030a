#pragma once

#include "image/Deblocking.h"
#include "quantizer/CodingMethod.h"

namespace pictora {

// The method settings of a run beyond R, ALFA and the block: how its blocks
// are coded, refined and pruned, and the deblocking filter its reconstructions
// get before they are shown or measured. One value, shared by the command
// line, the desktop form and the sweeps; the defaults are the method as it
// has always been, and leave every file and figure as it was.
struct MethodSettings {
    CodingMethod coding;
    DeblockStrength deblock = DeblockStrength::Off;

    bool operator==(const MethodSettings&) const = default;
    bool IsDefault() const { return *this == MethodSettings{}; }
};

}  // namespace pictora
