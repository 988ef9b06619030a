#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "measures/BdRate.h"
#include "measures/QualityMeasure.h"
#include "reference/ReferenceCodecTable.h"
#include "study/SweepCurves.h"
#include "study/SweepGrid.h"

namespace pictora {

// One row of bd-rate.csv: a family of one image against one codec's ladder
// by one measure; no rate where BD-rate is not defined.
struct BdRateRow {
    std::string image;
    SweepCell family;  // only the settings a family shares mean anything
    ReferenceCodecKind reference = ReferenceCodecKind::Jpeg;
    QualityMeasure measure = QualityMeasure::Psnr;
    std::optional<BdRateResult> rate;
};

// Every family of every image against every codec of that image, by every
// measure of `measures`: images, families and codecs in their curves' order,
// the measures in their order, varying fastest.
std::vector<BdRateRow> ComputeBdRates(const std::vector<ImageCurves>& images, std::span<const QualityMeasure> measures);

// The columns that name a family, ",color_space,block,..." (with a leading
// comma): the grid's dimensions that a family shares, in the grid's order.
std::string FamilyKeyHeader();
// The family's values for those columns, reals exactly, with a leading comma.
std::string FamilyKeyFields(const SweepCell& family);

// bd-rate.csv: the header and one line per row, reals with %.17g, rate and
// overlap empty where BD-rate is not defined.
std::string FormatBdRateCsv(const std::vector<BdRateRow>& rows);

}  // namespace pictora
