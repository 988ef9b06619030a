#include "study/SweepCurves.h"

#include "measures/BdRate.h"
#include "support/NumberText.h"

namespace pictora::cli {
namespace {

bool SameFamily(const SweepCell& a, const SweepCell& b) {
    return a.colorSpace == b.colorSpace && a.blockSide == b.blockSide && a.alfa == b.alfa && a.filter == b.filter;
}

SweepCurve& CurveOf(ImageCurves& image, const SweepPoint& point) {
    std::vector<SweepCurve>& curves = point.IsPictora() ? image.families : image.references;
    for (SweepCurve& curve : curves)
        if (point.IsPictora() ? SameFamily(*curve.family, *point.cell) : curve.codec == point.codec) return curve;
    SweepCurve& added = curves.emplace_back();
    added.family = point.cell;
    added.codec = point.codec;
    return added;
}

std::string Real(double value) { return FormatC("%.17g", value); }

}  // namespace

std::string SweepCurve::Label() const {
    if (!family) return codec;
    const std::string side = std::to_string(family->blockSide);
    std::string label = std::string(ColorSpaceName(family->colorSpace)) + " " + side + "×" + side + " ALFA " +
                        ShortestText(family->alfa);
    if (family->filter != LowPassFilter::None) label += " filter " + std::string(FilterName(family->filter));
    return label;
}

std::vector<ImageCurves> GroupCurves(const std::vector<SweepPoint>& points) {
    std::vector<ImageCurves> images;
    for (const SweepPoint& point : points) {
        ImageCurves* image = nullptr;
        for (ImageCurves& known : images)
            if (known.image == point.image) image = &known;
        if (image == nullptr) image = &images.emplace_back(ImageCurves{point.image, {}, {}});
        SweepCurve& curve = CurveOf(*image, point);
        curve.points.push_back(point.figures);
    }
    return images;
}

std::string FormatBdRateCsv(const std::vector<ImageCurves>& images) {
    std::string text = "image,color_space,block,alfa,filter,reference,measure,bd_rate,overlap_low,overlap_high\n";
    for (const ImageCurves& image : images)
        for (const SweepCurve& family : image.families)
            for (const SweepCurve& reference : image.references)
                for (QualityMeasure measure : kRdMeasures) {
                    text += image.image + "," + std::string(ColorSpaceName(family.family->colorSpace)) + "," +
                            std::to_string(family.family->blockSide) + "," + Real(family.family->alfa) + "," +
                            std::string(FilterName(family.family->filter)) + "," + reference.codec + "," +
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

}  // namespace pictora::cli
