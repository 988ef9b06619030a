#include "report/ResultsViews.h"

namespace pictora {

ResultsView ResultsViewOfTab(int tab) {
    return tab > 0 && tab < kResultsViewCount ? static_cast<ResultsView>(tab) : ResultsView::List;
}

const std::array<const char*, kResultsViewCount>& ResultsTabCaptions() {
    static const std::array<const char*, kResultsViewCount> captions = {
        "Evolução dos Neurônios a cada Passo", "Treinamento X Número de Vitórias", "Passo X Número de Neurônios",
        "Passo X pSNR (dB)", "T. Compressão X pSNR (dB)",
        "bpp X Qualidade"};
    return captions;
}

std::array<int, kResultsListColumns> ResultsColumnWidths(int clientWidth) {
    // Shares of the width: step, neurons, three channels, pSNR, three planes,
    // compression rate, three channels, lossless and total rate, bpp, SSIM,
    // MS-SSIM.
    static constexpr std::array<int, kResultsListColumns> kShares = {15, 30, 17, 17, 17, 30, 15, 15, 15,
                                                                     35, 17, 17, 17, 20, 20, 17, 17, 20};
    constexpr int kWhole = 354;
    std::array<int, kResultsListColumns> widths{};
    for (int k = 0; k < kResultsListColumns; ++k) widths[k] = clientWidth * kShares[k] / kWhole;
    return widths;
}

int ResultsHeaderImage(int item) { return item >= 1 && item <= 12 ? (item - 1) % 4 : -1; }

}  // namespace pictora
