#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "measures/RateQualityPoint.h"
#include "study/SweepGrid.h"
#include "support/Status.h"

namespace pictora::cli {

// One point of a sweep: a training step of a cell, or one rung of a
// reference codec's ladder, with its size and measures.
struct SweepPoint {
    std::string image;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::string codec;  // "pictora" for a training step
    // Pictora points: the cell and the step's number; reference points: the knob.
    std::optional<SweepCell> cell;
    std::uint32_t step = 0;
    std::optional<double> setting;
    // bytes, bpp, pSNR (the mean), SSIM and MS-SSIM
    RateQualityPoint figures;

    bool IsPictora() const { return cell.has_value(); }
};

inline constexpr std::string_view kPictoraCodecName = "pictora";

// The header of results.csv and a part's rows.
std::string SweepResultsHeader();
// The point as a line of results.csv (no line break): reals with %.17g in
// the C locale, fields a point does not have left empty.
std::string FormatSweepLine(const SweepPoint& point);
// Reads a line FormatSweepLine wrote; refuses (DamagedFile) anything else.
Status ParseSweepLine(std::string_view line, SweepPoint& point);

}  // namespace pictora::cli
