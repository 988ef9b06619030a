#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "measures/RateQualityPoint.h"
#include "reference/ReferenceCodecTable.h"
#include "study/SweepGrid.h"
#include "support/Status.h"

namespace pictora {

// Where a point of a sweep comes from: a training step of one cell of the
// grid, or one rung of a reference codec's ladder.
struct TrainedOrigin {
    SweepCell cell;
    std::uint32_t step = 0;
};
struct LadderOrigin {
    ReferenceCodecKind codec = ReferenceCodecKind::Jpeg;
    double knob = 0.0;
};

// One row of results.csv: a point of one image, where it comes from, and its
// bytes, bpp, pSNR (the mean), SSIM and MS-SSIM.
struct SweepRow {
    std::string image;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::variant<TrainedOrigin, LadderOrigin> origin;
    RateQualityPoint figures;

    const TrainedOrigin* Trained() const { return std::get_if<TrainedOrigin>(&origin); }
    const LadderOrigin* Ladder() const { return std::get_if<LadderOrigin>(&origin); }
};

// What results.csv's `codec` column says of a trained point.
inline constexpr std::string_view kPictoraCodecName = "pictora";

// The header of results.csv and a part's rows.
std::string SweepResultsHeader();
// The row as a line of results.csv (no line break): reals with %.17g in the
// C locale, fields a row does not have left empty.
std::string FormatSweepLine(const SweepRow& row);
// Reads a line FormatSweepLine wrote; refuses (DamagedFile) anything else.
Status ParseSweepLine(std::string_view line, SweepRow& row);

}  // namespace pictora
