#include "study/SweepCurves.h"

#include "measures/BdRate.h"
#include "measures/ParetoFront.h"
#include "support/NumberText.h"

namespace pictora {
namespace {

SweepCurve& CurveOf(ImageCurves& image, const SweepRow& row) {
    const TrainedOrigin* trained = row.Trained();
    std::vector<SweepCurve>& curves = trained != nullptr ? image.families : image.references;
    for (SweepCurve& curve : curves)
        if (trained != nullptr ? SameFamily(*curve.family, trained->cell) : curve.codec == row.Ladder()->codec)
            return curve;
    SweepCurve& added = curves.emplace_back();
    if (trained != nullptr) added.family = trained->cell;
    else added.codec = row.Ladder()->codec;
    return added;
}

std::string Real(double value) { return FormatC("%.17g", value); }

}  // namespace

std::string SweepCurve::Legend() const {
    return family ? FamilyLegend(*family) : std::string(TraitsOf(codec).name);
}

RdCurve SweepCurve::Front(QualityMeasure measure) const { return {Legend(), ParetoFront(points, measure)}; }

std::vector<ImageCurves> GroupCurves(const std::vector<SweepRow>& rows) {
    std::vector<ImageCurves> images;
    for (const SweepRow& row : rows) {
        ImageCurves* image = nullptr;
        for (ImageCurves& known : images)
            if (known.image == row.image) image = &known;
        if (image == nullptr) image = &images.emplace_back(ImageCurves{row.image, {}, {}});
        CurveOf(*image, row).points.push_back(row.figures);
    }
    return images;
}

std::string FormatBdRateCsv(const std::vector<ImageCurves>& images) {
    std::string text = "image";
    ForEachGridDimension([&](const auto& dimension) {
        if (dimension.sharedByFamily) text += "," + std::string(dimension.name);
    });
    text += ",reference,measure,bd_rate,overlap_low,overlap_high\n";
    for (const ImageCurves& image : images)
        for (const SweepCurve& family : image.families)
            for (const SweepCurve& reference : image.references)
                for (QualityMeasure measure : kRdMeasures) {
                    text += image.image;
                    ForEachGridDimension([&](const auto& dimension) {
                        if (dimension.sharedByFamily)
                            text += "," + ValueText((*family.family).*dimension.inCell, ValueStyle::Exact);
                    });
                    text += "," + std::string(TraitsOf(reference.codec).name) + "," +
                            std::string(MeasureColumnName(measure)) + ",";
                    const auto rate = BdRate(family.points, reference.points, measure);
                    if (rate)
                        text += Real(rate->percent) + "," + Real(rate->overlapLow) + "," + Real(rate->overlapHigh);
                    else
                        text += ",,";
                    text += "\n";
                }
    return text;
}

}  // namespace pictora
