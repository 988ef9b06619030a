#pragma once

#include <string>
#include <utility>
#include <vector>

#include "display/RdChartModel.h"
#include "display/RdSeriesStyle.h"

namespace pictora {

// Points of the given bpp and pSNR.
inline std::vector<RateQualityPoint> PsnrPoints(const std::vector<std::pair<double, double>>& pairs) {
    std::vector<RateQualityPoint> points;
    for (const auto& [bpp, psnr] : pairs) {
        RateQualityPoint& point = points.emplace_back();
        point.bpp = bpp;
        point.quality.psnrMean = psnr;
    }
    return points;
}

// A chart like a sweep draws: two trained families and one reference
// ladder, pSNR against bpp.
inline RdChartModel SampleRdChart() {
    RdChartModel model{"tulips.png — pSNR", "bpp", "pSNR (dB)", QualityMeasure::Psnr, {}};
    const std::pair<std::string, std::vector<std::pair<double, double>>> curves[] = {
        {"pictora RGB 4×4 α 0.1", {{0.31, 24.2}, {0.52, 26.9}, {0.86, 29.4}, {1.38, 31.6}, {2.05, 33.1}}},
        {"pictora YCbCr 4:2:0 8×8", {{0.12, 23.1}, {0.24, 25.8}, {0.45, 28.2}, {0.73, 30.0}}},
        {"jpeg", {{0.18, 25.4}, {0.35, 28.9}, {0.62, 31.8}, {1.10, 34.6}, {1.95, 37.9}, {2.80, 40.2}}},
    };
    std::size_t index = 0;
    for (const auto& [name, points] : curves) {
        const RdSeriesStyle style = RdSeriesStyleOf(index++);
        model.series.push_back({name, PsnrPoints(points), style.colour, style.marker});
    }
    return model;
}

}  // namespace pictora
