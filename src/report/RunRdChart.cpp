#include "report/RunRdChart.h"

#include "study/RdCurves.h"

namespace pictora {

RdChartModel RunRdChart(const std::vector<StepResult>& history, const std::vector<ReferenceCurve>& curves,
                        QualityMeasure measure) {
    RdChartModel model;
    const bool psnr = measure == QualityMeasure::Psnr;
    model.title = psnr ? "Bits por pixel X pSNR" : "Bits por pixel X MS-SSIM";
    model.xLabel = "bpp";
    model.yLabel = psnr ? "pSNR (dB)" : "MS-SSIM";
    model.measure = measure;
    std::vector<RdCurve> drawn(1, RdCurve{"Pictora", {}});
    for (const StepResult& result : history) drawn.front().points.push_back(result.figures);
    for (const ReferenceCurve& curve : curves) drawn.push_back({std::string(TraitsOf(curve.codec).title), curve.points});
    AddRdCurves(model, drawn);
    return model;
}

}  // namespace pictora
