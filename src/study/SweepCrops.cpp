#include "study/SweepCrops.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "image/PngImage.h"
#include "image/PngWriter.h"
#include "pipeline/ImageCompressor.h"
#include "pipeline/TrainingRun.h"
#include "reference/ReferenceCodecFactory.h"
#include "support/NumberText.h"

namespace pictora {
namespace {

// The centre square of the image as a PNG file.
std::vector<std::uint8_t> CentreCrop(const RgbImage& image) {
    const auto height = static_cast<std::uint32_t>(image.height);
    const auto width = static_cast<std::uint32_t>(image.width);
    const std::uint32_t side = std::min({kCropSide, height, width});
    const std::uint32_t top = (height - side) / 2;
    const std::uint32_t left = (width - side) / 2;
    Plane planes[3];
    const Plane* sources[3] = {&image.red, &image.green, &image.blue};
    for (int c = 0; c < 3; ++c) {
        planes[c].Allocate(side, side);
        for (std::uint32_t y = 0; y < side; ++y)
            std::copy_n((*sources[c])[top + y] + left, side, planes[c][y]);
    }
    const Plane* crop[3] = {&planes[0], &planes[1], &planes[2]};
    return EncodePng(crop, side, side);
}

std::string Figures(const RateQualityPoint& point) {
    return FormatC("%.3f bpp, %.2f dB", point.bpp, point.quality.psnrMean);
}

// "rgb 4×4 ALFA 0.1, radius 0.05, step 3": the family, then every setting
// that varies inside it, then the step.
std::string PointSettings(const TrainedOrigin& trained) {
    std::string text = FamilyLegend(trained.cell);
    ForEachGridDimension([&](const auto& dimension) {
        if (!dimension.sharedByFamily)
            text += ", " + std::string(dimension.name) + " " +
                    ValueText(trained.cell.*dimension.inCell, ValueStyle::Shortest);
    });
    return text + ", step " + std::to_string(trained.step);
}

// The trained point of the image with the highest pSNR, the first of equals.
const SweepRow* BestTrainedPoint(const std::string& name, const std::vector<SweepRow>& rows) {
    const SweepRow* best = nullptr;
    for (const SweepRow& row : rows)
        if (row.image == name && row.Trained() != nullptr &&
            (best == nullptr || row.figures.quality.psnrMean > best->figures.quality.psnrMean))
            best = &row;
    return best;
}

// The codec's rung of the image whose bpp is nearest `bpp`, the first of equals.
const SweepRow* NearestRung(const std::string& name, ReferenceCodecKind codec, double bpp,
                            const std::vector<SweepRow>& rows) {
    const SweepRow* nearest = nullptr;
    for (const SweepRow& row : rows) {
        const LadderOrigin* rung = row.Ladder();
        if (row.image != name || rung == nullptr || rung->codec != codec) continue;
        if (nearest == nullptr || std::abs(row.figures.bpp - bpp) < std::abs(nearest->figures.bpp - bpp)) nearest = &row;
    }
    return nearest;
}

}  // namespace

Status MakeImageCrops(const SweepJobList& list, std::size_t image, const std::vector<SweepRow>& rows,
                      std::vector<ReportCrop>& crops) {
    crops.clear();
    const std::string& path = list.imagePaths[image];
    const std::string& name = list.imageNames[image];
    const SweepRow* best = BestTrainedPoint(name, rows);
    if (best == nullptr) return Status::Ok();
    RgbImage source;
    if (Status loaded = ReadPngFile(path, source); !loaded) return loaded;
    std::vector<ReportCrop> made;
    made.push_back({"source", CentreCrop(source)});

    const TrainedOrigin& trained = *best->Trained();
    ImageCompressor compressor;
    if (Status loaded = compressor.LoadImage(path); !loaded) return loaded;
    // The point's own run again, to its step: the same pixels its row measured.
    TrainingRun run(compressor);
    run.Begin({trained.step, trained.step, trained.step});
    const RunSettings settings{TrainingJobOf(trained.cell), LosslessMode::None, MeasureSet::PsnrOnly};
    while (run.HasStepsLeft())
        if (Status ran = run.Step(settings); !ran) return ran.Prefixed(path);
    made.push_back({"pictora " + PointSettings(trained) + " — " + Figures(best->figures),
                    CentreCrop(compressor.ReconstructedImage())});

    for (ReferenceCodecKind codec : list.codecs) {
        const SweepRow* rung = NearestRung(name, codec, best->figures.bpp, rows);
        if (rung == nullptr) continue;
        const std::unique_ptr<ReferenceCodec> coder = MakeReferenceCodec(codec);
        std::vector<std::uint8_t> file;
        RgbImage decoded;
        if (Status encoded = coder->Encode(source, rung->Ladder()->knob, file); !encoded) return encoded.Prefixed(path);
        if (Status read = coder->Decode(file, decoded); !read) return read.Prefixed(path);
        made.push_back({std::string(coder->Name()) + " " + ReferenceCodec::KnobText(rung->Ladder()->knob) + " — " +
                            Figures(rung->figures),
                        CentreCrop(decoded)});
    }
    crops = std::move(made);
    return Status::Ok();
}

}  // namespace pictora
