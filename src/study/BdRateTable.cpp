#include "study/BdRateTable.h"

#include "support/NumberText.h"

namespace pictora {

std::vector<BdRateRow> ComputeBdRates(const std::vector<ImageCurves>& images, std::span<const QualityMeasure> measures) {
    std::vector<BdRateRow> rows;
    for (const ImageCurves& image : images)
        for (const SweepCurve& family : image.families)
            for (const SweepCurve& reference : image.references)
                for (QualityMeasure measure : measures)
                    rows.push_back({image.image, *family.family, reference.codec, measure,
                                    BdRate(family.points, reference.points, measure)});
    return rows;
}

std::string FamilyKeyHeader() {
    std::string text;
    ForEachGridDimension([&](const auto& dimension) {
        if (dimension.sharedByFamily) text += "," + std::string(dimension.name);
    });
    return text;
}

std::string FamilyKeyFields(const SweepCell& family) {
    std::string text;
    ForEachGridDimension([&](const auto& dimension) {
        if (dimension.sharedByFamily) text += "," + ValueText(family.*dimension.inCell, ValueStyle::Exact);
    });
    return text;
}

std::string FormatBdRateCsv(const std::vector<BdRateRow>& rows) {
    std::string text = "image" + FamilyKeyHeader() + ",reference,measure,bd_rate,overlap_low,overlap_high\n";
    for (const BdRateRow& row : rows) {
        text += row.image + FamilyKeyFields(row.family) + "," + std::string(TraitsOf(row.reference).name) + "," +
                std::string(MeasureColumnName(row.measure));
        if (row.rate)
            text += CsvRealField(row.rate->percent) + CsvRealField(row.rate->overlapLow) +
                    CsvRealField(row.rate->overlapHigh);
        else
            text += ",,,";
        text += "\n";
    }
    return text;
}

}  // namespace pictora
