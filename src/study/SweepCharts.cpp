#include "study/SweepCharts.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "display/RdChartLayout.h"
#include "display/RdChartPng.h"
#include "display/RdChartSvg.h"
#include "support/FileIO.h"

namespace pictora {
RdChartModel SweepChart(const ImageCurves& image, QualityMeasure measure) {
    const bool psnr = measure == QualityMeasure::Psnr;
    RdChartModel model;
    model.title = image.image + " — " + (psnr ? "pSNR" : "MS-SSIM");
    model.xLabel = "bits per pixel";
    model.yLabel = psnr ? "pSNR (dB)" : "MS-SSIM";
    model.measure = measure;
    std::vector<RdCurve> fronts;
    for (const SweepCurve& family : image.families) fronts.push_back(family.Front(measure));
    for (const SweepCurve& reference : image.references) fronts.push_back(reference.Front(measure));
    AddRdCurves(model, fronts);
    return model;
}

Status WriteSweepCharts(const ImageCurves& image, const std::string& folder) {
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (failure) return Status::Error(ErrorKind::FileAccess, "cannot create the folder: " + failure.message()).About(folder);
    for (QualityMeasure measure : kRdMeasures) {
        const RdChartModel model = SweepChart(image, measure);
        const std::string stem = folder + "/rd-" + std::string(MeasureColumnName(measure));
        if (Status written = WriteFileAtomically(stem + ".svg", WriteRdChartSvg(model)); !written) return written;
        std::vector<std::uint8_t> png;
        if (Status drawn = RenderRdChartPng(model, kRdChartDefaultWidth, kRdChartDefaultHeight, png); !drawn)
            return drawn.About(stem + ".png");
        if (Status written = WriteFileAtomically(stem + ".png", png); !written) return written;
    }
    return Status::Ok();
}

}  // namespace pictora
