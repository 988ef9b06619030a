#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "study/BdRateTable.h"
#include "study/MeanStatistics.h"

namespace pictora {

// One row of summary.csv: the BD-rates of one family against one codec by
// one measure over the images of a study. `images` counts the images where
// the BD-rate is defined; the statistics are of those, empty when none is.
struct SetSummaryRow {
    SweepCell family;  // only the settings a family shares mean anything
    ReferenceCodecKind reference = ReferenceCodecKind::Jpeg;
    QualityMeasure measure = QualityMeasure::Psnr;
    std::size_t images = 0;
    std::optional<MeanStatistics> statistics;
};

// One row per family, codec and measure, in the order their first row comes
// in `rows` (bd-rate.csv's order), each with the BD-rates of every image.
std::vector<SetSummaryRow> SummarizeBdRates(const std::vector<BdRateRow>& rows);

// summary.csv: the family's columns, reference, measure, images, mean,
// median, ci_low, ci_high; reals with %.17g, empty statistics for no image.
std::string FormatSummaryCsv(const std::vector<SetSummaryRow>& rows);

}  // namespace pictora
