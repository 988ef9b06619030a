#include "report/RunRdChart.h"

#include <memory>
#include <optional>

#include "display/RdSeriesStyle.h"

namespace pictora {
namespace {

std::optional<double> QualityOf(double psnr, const ImageSimilarity& similarity, RdQuality quality) {
    if (quality == RdQuality::Psnr) return psnr;
    return similarity.msSsim;
}

// The codec's name as the legend and the viewer's result list write it.
const char* CodecTitle(ReferenceCodecKind kind) {
    switch (kind) {
        case ReferenceCodecKind::Jpeg: return "JPEG";
        case ReferenceCodecKind::Webp: return "WebP";
        case ReferenceCodecKind::Avif: return "AVIF";
        case ReferenceCodecKind::Jxl: return "JPEG XL";
    }
    return "";
}

void AddSeries(RdChartModel& model, std::string name, std::vector<RdChartPoint> points) {
    if (points.empty()) return;
    const RdSeriesStyle style = RdSeriesStyleOf(model.series.size());
    model.series.push_back({std::move(name), std::move(points), style.colour, style.marker});
}

}  // namespace

RdChartModel RunRdChart(const std::vector<StepResult>& history, const std::vector<ReferenceCurve>& curves,
                        RdQuality quality) {
    RdChartModel model;
    model.title = quality == RdQuality::Psnr ? "Bits por pixel X pSNR" : "Bits por pixel X MS-SSIM";
    model.xLabel = "bpp";
    model.yLabel = quality == RdQuality::Psnr ? "pSNR (dB)" : "MS-SSIM";
    std::vector<RdChartPoint> steps;
    for (const StepResult& result : history)
        if (std::optional<double> y = QualityOf(result.psnrMean, result.similarity, quality)) steps.push_back({result.bpp, *y});
    AddSeries(model, "Pictora", std::move(steps));
    for (const ReferenceCurve& curve : curves) {
        std::vector<RdChartPoint> points;
        for (const PairFigures& figures : curve.points)
            if (std::optional<double> y = QualityOf(figures.quality.psnrMean, figures.similarity, quality))
                points.push_back({figures.bpp, *y});
        AddSeries(model, CodecTitle(curve.codec), std::move(points));
    }
    return model;
}

}  // namespace pictora
