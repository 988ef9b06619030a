#include "cli/SummaryTable.h"

#include <algorithm>
#include <array>

#include "cli/ResultsTable.h"
#include "support/NumberText.h"

namespace pictora::cli {
namespace {

constexpr std::size_t kColumns = 7;
using Cells = std::array<std::string, kColumns>;

std::string Percent(double value) { return FormatC("%+.2f", value); }

Cells CellsOf(const SetSummaryRow& row) {
    Cells cells = {FamilyLegend(row.family), std::string(TraitsOf(row.reference).name),
                   std::string(MeasureColumnName(row.measure)), std::to_string(row.images), "—", "—", "—"};
    if (row.statistics) {
        cells[4] = Percent(row.statistics->mean);
        cells[5] = Percent(row.statistics->median);
        cells[6] = "[" + Percent(row.statistics->intervalLow) + ", " + Percent(row.statistics->intervalHigh) + "]";
    }
    return cells;
}

}  // namespace

std::string FormatSummaryTable(const std::vector<SetSummaryRow>& rows) {
    std::vector<Cells> lines = {{"family", "codec", "measure", "images", "mean %", "median %", "95 % interval"}};
    for (const SetSummaryRow& row : rows) lines.push_back(CellsOf(row));
    std::array<int, kColumns> widths{};
    for (const Cells& cells : lines)
        for (std::size_t k = 0; k < kColumns; ++k) widths[k] = std::max(widths[k], DisplayWidth(cells[k]));
    std::string text;
    for (const Cells& cells : lines) {
        for (std::size_t k = 0; k < kColumns; ++k) {
            const std::string padding(static_cast<std::size_t>(widths[k] - DisplayWidth(cells[k])), ' ');
            // The names to the left, the numbers to the right.
            if (k > 0) text += "  ";
            text += k < 3 ? cells[k] + (k + 1 < kColumns ? padding : "") : padding + cells[k];
        }
        text += "\n";
    }
    return text;
}

}  // namespace pictora::cli
