#include <gtest/gtest.h>

#include <numeric>
#include <string>

#include "report/ResultsViews.h"

namespace pictora {
namespace {

TEST(ResultsViewsTest, ColumnWidthsAreShares300thsOfTheClientWidth) {
    EXPECT_EQ(ResultsColumnWidths(600),
              (std::array<int, 15>{30, 60, 34, 34, 34, 60, 30, 30, 30, 70, 34, 34, 34, 40, 40}));
    // Each column truncates on its own: 100 × 17 / 300 = 5.67.
    EXPECT_EQ(ResultsColumnWidths(100)[2], 5);
    const auto widths = ResultsColumnWidths(300);
    EXPECT_EQ(std::accumulate(widths.begin(), widths.end(), 0), 297);
    EXPECT_EQ(ResultsColumnWidths(0), (std::array<int, 15>{}));
}

TEST(ResultsViewsTest, TabCaptionsInOrder) {
    const auto& captions = ResultsTabCaptions();
    EXPECT_EQ(std::string(captions[0]), "Evolução dos Neurônios a cada Passo");
    EXPECT_EQ(std::string(captions[1]), "Treinamento X Número de Vitórias");
    EXPECT_EQ(std::string(captions[2]), "Passo X Número de Neurônios");
    EXPECT_EQ(std::string(captions[3]), "Passo X pSNR (dB)");
    EXPECT_EQ(std::string(captions[4]), "T. Compressão X pSNR (dB)");
}

TEST(ResultsViewsTest, HeaderImagesCycleThroughTheChannelIconsForItems1To12) {
    const int expected[15] = {-1, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, -1, -1};
    for (int item = 0; item < 15; ++item) EXPECT_EQ(ResultsHeaderImage(item), expected[item]) << item;
    EXPECT_EQ(ResultsHeaderImage(-1), -1);
}

}  // namespace
}  // namespace pictora
