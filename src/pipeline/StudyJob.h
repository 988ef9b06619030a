#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "image/RgbImage.h"
#include "measures/RateQualityPoint.h"
#include "measures/RealPlane.h"
#include "measures/SsimMap.h"
#include "reference/ReferenceCodec.h"

namespace pictora {

// What a study command of the worker works out for the comparison views:
// a reference codec's file of the source at a given size, the four
// reference codecs' rate-distortion ladders, the SSIM map of the current
// reconstruction (large images make it too slow for the interface thread),
// or the Butteraugli distance map of the reconstruction or of a reference
// codec's file (the job's codec), slow at any size.
enum class StudyTask {
    ReferenceAtSize,
    ReferenceLadders,
    ReconstructionSsimMap,
    ReconstructionButteraugliMap,
    ReferenceButteraugliMap,
};

// The task compares the source with a second image that the request carries.
constexpr bool ComparesTwoImages(StudyTask task) {
    return task == StudyTask::ReconstructionSsimMap || task == StudyTask::ReconstructionButteraugliMap ||
           task == StudyTask::ReferenceButteraugliMap;
}

struct StudyJob {
    StudyTask task = StudyTask::ReferenceAtSize;
    ReferenceCodecKind codec = ReferenceCodecKind::Jpeg;
    std::uint64_t targetBytes = 0;
    // The owner's tag of the state the job was asked for, handed back so a
    // late outcome of a state since replaced can be told and dropped.
    std::uint64_t ticket = 0;
};

// A reference codec's best file of the source no larger than the target,
// decoded and measured; `fits` is false when even its worst knob is larger.
struct ReferenceAtSize {
    ReferenceCodecKind codec = ReferenceCodecKind::Jpeg;
    bool fits = false;
    double knob = 0.0;
    RgbImage decoded;
    RateQualityPoint figures;
    std::optional<SsimMap> ssimMap;  // mean over R, G, B
};

// One codec's ladder, worst knob first, each rung measured against the source.
struct ReferenceCurve {
    ReferenceCodecKind codec = ReferenceCodecKind::Jpeg;
    std::vector<double> knobs;
    std::vector<RateQualityPoint> points;
};

struct StudyOutcome {
    StudyJob job;
    ReferenceAtSize atSize;              // ReferenceAtSize
    std::vector<ReferenceCurve> curves;  // ReferenceLadders, in kAllReferenceCodecKinds order
    std::optional<SsimMap> ssimMap;      // ReconstructionSsimMap
    std::optional<RealPlane> butteraugliMap;  // the Butteraugli map tasks
};

}  // namespace pictora
