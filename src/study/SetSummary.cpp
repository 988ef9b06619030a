#include "study/SetSummary.h"

#include "support/NumberText.h"

namespace pictora {
namespace {

bool SameKey(const BdRateRow& row, const SetSummaryRow& summary) {
    return SameFamily(row.family, summary.family) && row.reference == summary.reference &&
           row.measure == summary.measure;
}

}  // namespace

std::vector<SetSummaryRow> SummarizeBdRates(const std::vector<BdRateRow>& rows) {
    std::vector<SetSummaryRow> summary;
    std::vector<std::vector<double>> rates;
    for (const BdRateRow& row : rows) {
        std::size_t k = 0;
        while (k < summary.size() && !SameKey(row, summary[k])) ++k;
        if (k == summary.size()) {
            summary.push_back({row.family, row.reference, row.measure, 0, std::nullopt});
            rates.emplace_back();
        }
        if (row.rate) rates[k].push_back(row.rate->percent);
    }
    for (std::size_t k = 0; k < summary.size(); ++k) {
        summary[k].images = rates[k].size();
        summary[k].statistics = MeanWithInterval(rates[k]);
    }
    return summary;
}

std::string FormatSummaryCsv(const std::vector<SetSummaryRow>& rows) {
    std::string text = FamilyKeyHeader().substr(1) + ",reference,measure,images,mean,median,ci_low,ci_high\n";
    for (const SetSummaryRow& row : rows) {
        text += FamilyKeyFields(row.family).substr(1) + "," + std::string(TraitsOf(row.reference).name) + "," +
                std::string(MeasureColumnName(row.measure)) + "," + std::to_string(row.images);
        if (row.statistics)
            text += CsvRealField(row.statistics->mean) + CsvRealField(row.statistics->median) +
                    CsvRealField(row.statistics->intervalLow) + CsvRealField(row.statistics->intervalHigh);
        else
            text += ",,,,";
        text += "\n";
    }
    return text;
}

}  // namespace pictora
