#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "pipeline/StudyJob.h"
#include "support/Status.h"

namespace pictora {

// Codes `source` with `codec` at the best knob whose file is at most
// `targetBytes`, decodes that file and measures it (all measures, and the
// mean SSIM map). A codec that cannot get that small is not a failure:
// `result.fits` is then false.
Status EncodeReferenceAtSize(ReferenceCodecKind codec, const RgbImage& source, std::uint64_t targetBytes,
                             ReferenceAtSize& result);

// The codec's ladder of `source`, worst rung first, each rung encoded,
// decoded with the same codec and measured by `measures` in turn.
// Once `stop` is set (when given) the ladder is given up between two rungs,
// and `curve` holds the rungs done so far. A failure names the rung.
Status MeasureLadder(ReferenceCodecKind codec, const RgbImage& source, MeasureSet measures,
                     const std::atomic<bool>* stop, ReferenceCurve& curve);

// Every reference codec's ladder of `source`, decoded and measured (pSNR,
// SSIM, MS-SSIM); `curves` is replaced only when all four succeed. Once
// `stop` is set (when given) the work is given up between two rungs and
// `curves` is left as it was.
Status EncodeReferenceLadders(const RgbImage& source, const std::atomic<bool>* stop,
                              std::vector<ReferenceCurve>& curves);

}  // namespace pictora
