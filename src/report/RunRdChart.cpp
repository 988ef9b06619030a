#include "report/RunRdChart.h"

#include <memory>
#include <optional>

#include "display/RdSeriesStyle.h"

namespace pictora {
namespace {

void AddSeries(RdChartModel& model, std::string name, std::vector<RateQualityPoint> points) {
    if (points.empty()) return;
    const RdSeriesStyle style = RdSeriesStyleOf(model.series.size());
    model.series.push_back({std::move(name), std::move(points), style.colour, style.marker});
}

}  // namespace

RdChartModel RunRdChart(const std::vector<StepResult>& history, const std::vector<ReferenceCurve>& curves,
                        QualityMeasure measure) {
    RdChartModel model;
    const bool psnr = measure == QualityMeasure::Psnr;
    model.title = psnr ? "Bits por pixel X pSNR" : "Bits por pixel X MS-SSIM";
    model.xLabel = "bpp";
    model.yLabel = psnr ? "pSNR (dB)" : "MS-SSIM";
    model.measure = measure;
    std::vector<RateQualityPoint> steps;
    for (const StepResult& result : history)
        if (result.figures.Quality(measure)) steps.push_back(result.figures);
    AddSeries(model, "Pictora", std::move(steps));
    for (const ReferenceCurve& curve : curves) {
        std::vector<RateQualityPoint> points;
        for (const RateQualityPoint& point : curve.points)
            if (point.Quality(measure)) points.push_back(point);
        AddSeries(model, std::string(TraitsOf(curve.codec).title), std::move(points));
    }
    return model;
}

}  // namespace pictora
