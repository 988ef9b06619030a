#include "study/SweepCharts.h"

#include <filesystem>
#include <span>
#include <system_error>
#include <vector>

#include "display/RdChartLayout.h"
#include "display/RdChartPng.h"
#include "display/RdChartSvg.h"
#include "display/RdSeriesStyle.h"
#include "measures/ParetoFront.h"
#include "support/FileIO.h"

namespace pictora::cli {
namespace {

Status WriteText(const std::string& path, const std::string& text) {
    return WriteFileAtomically(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace

RdChartModel SweepChart(const ImageCurves& image, QualityMeasure measure) {
    const bool psnr = measure == QualityMeasure::Psnr;
    RdChartModel model;
    model.title = image.image + " — " + (psnr ? "pSNR" : "MS-SSIM");
    model.xLabel = "bits per pixel";
    model.yLabel = psnr ? "pSNR (dB)" : "MS-SSIM";
    model.measure = measure;
    auto add = [&model, measure](const SweepCurve& curve) {
        RdChartSeries series;
        series.name = curve.Label();
        series.points = ParetoFront(curve.points, measure);
        const RdSeriesStyle style = RdSeriesStyleOf(model.series.size());
        series.colour = style.colour;
        series.marker = style.marker;
        model.series.push_back(std::move(series));
    };
    for (const SweepCurve& family : image.families) add(family);
    for (const SweepCurve& reference : image.references) add(reference);
    return model;
}

Status WriteSweepCharts(const ImageCurves& image, const std::string& folder) {
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (failure) return Status::Error(ErrorKind::FileAccess, "cannot create the folder: " + failure.message()).About(folder);
    for (QualityMeasure measure : kRdMeasures) {
        const RdChartModel model = SweepChart(image, measure);
        const std::string stem = folder + "/rd-" + std::string(MeasureColumnName(measure));
        if (Status written = WriteText(stem + ".svg", WriteRdChartSvg(model)); !written) return written;
        std::vector<std::uint8_t> png;
        if (Status drawn = RenderRdChartPng(model, kRdChartDefaultWidth, kRdChartDefaultHeight, png); !drawn)
            return drawn.About(stem + ".png");
        if (Status written = WriteFileAtomically(stem + ".png", png); !written) return written;
    }
    return Status::Ok();
}

}  // namespace pictora::cli
