#include "study/SweepCurves.h"

#include "measures/ParetoFront.h"

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

}  // namespace pictora
