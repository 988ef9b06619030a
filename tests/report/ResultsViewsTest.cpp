#include <gtest/gtest.h>

#include <numeric>
#include <string>

#include "report/ResultsViews.h"

namespace pictora {
namespace {

// The fifteen step columns keep the proportions they had alone (a list of
// 600 pixels gave them 30, 60, 34, ...); bpp, SSIM and MS-SSIM follow.
TEST(ResultsViewsTest, ColumnWidthsKeepTheStepColumnsProportions) {
    EXPECT_EQ(ResultsColumnWidths(708), (std::array<int, kResultsListColumns>{30, 60, 34, 34, 34, 60, 30, 30, 30, 70, 34,
                                                                             34, 34, 40, 40, 34, 34, 40}));
    // Each column truncates on its own: 100 × 17 / 354 = 4.8.
    EXPECT_EQ(ResultsColumnWidths(100)[2], 4);
    const auto widths = ResultsColumnWidths(354);
    EXPECT_EQ(std::accumulate(widths.begin(), widths.end(), 0), 351);
    EXPECT_EQ(ResultsColumnWidths(0), (std::array<int, kResultsListColumns>{}));
}

TEST(ResultsViewsTest, TabCaptionsInOrder) {
    const auto& captions = ResultsTabCaptions();
    EXPECT_EQ(std::string(captions[0]), "Evolução dos Neurônios a cada Passo");
    EXPECT_EQ(std::string(captions[1]), "Treinamento X Número de Vitórias");
    EXPECT_EQ(std::string(captions[2]), "Passo X Número de Neurônios");
    EXPECT_EQ(std::string(captions[3]), "Passo X pSNR (dB)");
    EXPECT_EQ(std::string(captions[4]), "T. Compressão X pSNR (dB)");
    EXPECT_EQ(std::string(captions[5]), "bpp X Qualidade");
    EXPECT_EQ(ResultsViewOfTab(5), ResultsView::RateDistortion);
    EXPECT_EQ(ResultsViewOfTab(6), ResultsView::List);
}

TEST(ResultsViewsTest, HeaderImagesCycleThroughTheChannelIconsForItems1To12) {
    const int expected[15] = {-1, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, -1, -1};
    for (int item = 0; item < 15; ++item) EXPECT_EQ(ResultsHeaderImage(item), expected[item]) << item;
    EXPECT_EQ(ResultsHeaderImage(-1), -1);
}

}  // namespace
}  // namespace pictora
