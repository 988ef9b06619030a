#pragma once

#include <string>
#include <vector>

#include "study/BdRateTable.h"
#include "study/SetSummary.h"
#include "study/SweepCrops.h"
#include "study/SweepCurves.h"
#include "study/SweepJobs.h"

namespace pictora {

// What report.html shows of a collected sweep.
struct SweepReportContent {
    const SweepJobList* list = nullptr;      // the settings
    std::string programVersion;              // "pictora-cli 1.2.0"
    std::string libraryVersions;             // versions.txt's lines, shown as they are
    const std::vector<SetSummaryRow>* summary = nullptr;
    const std::vector<BdRateRow>* bdRates = nullptr;
    const std::vector<ImageCurves>* curves = nullptr;
    const std::vector<ImageCrops>* crops = nullptr;  // none for an image that has none
};

// report.html: one self-contained page (no network, no external scripts or
// fonts; the charts inline SVG; a few lines of inline script sort the
// tables): the sweep's settings and versions, the set-level summary, and per
// image its rate–quality charts, its crops (PNG inside the page) and its
// BD-rate rows. It reads on a laptop
// and at a phone's width (tables scroll sideways, charts shrink).
std::string FormatSweepReport(const SweepReportContent& content);

}  // namespace pictora
