#pragma once

#include <vector>

#include "display/RdChartModel.h"
#include "pipeline/StepResult.h"
#include "pipeline/StudyJob.h"

namespace pictora {

// The run's rate-distortion chart: the run's steps as one series (bits per
// pixel of the coded image against the measure, in step order), then each
// reference codec's ladder. A step or rung whose measure is undefined (MS-SSIM
// of a small image) is left out; so is a series left with no point.
RdChartModel RunRdChart(const std::vector<StepResult>& history, const std::vector<ReferenceCurve>& curves,
                        QualityMeasure measure);

}  // namespace pictora
