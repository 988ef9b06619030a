#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <string>
#include <vector>

#include "display/ChartLayout.h"

namespace pictora {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr auto kCross = ChartPointKind::Cross;
constexpr auto kLine = ChartPointKind::Line;

struct Point {
    ChartPointKind kind;
    double x;
    double y;
    ChartColour colour = kChartBlack;
};

ChartModel Model(bool relative, bool twoDecimals, double xScale, const std::vector<Point>& points) {
    ChartModel model;
    model.SetXTitle("Passo");
    model.SetYTitle("Número de neurônios");
    model.SetOptions(relative, twoDecimals, xScale);
    for (const Point& p : points) model.AddPoint(p.kind, p.x, p.y, p.colour);
    return model;
}

// Line points at steps 1..count, y rising by `increment` from `first`.
std::vector<Point> Steps(int count, double first, double increment) {
    std::vector<Point> points;
    for (int s = 0; s < count; ++s) points.push_back({kLine, s + 1.0, first + increment * s});
    return points;
}

// The x labels (anchor LeftTop) or y labels (RightBottom), without titles.
std::vector<const ChartText*> Labels(const ChartPicture& picture, ChartTextAnchor anchor) {
    std::vector<const ChartText*> labels;
    for (const ChartText& text : picture.texts)
        if (text.anchor == anchor && text.y != 590 && !text.vertical) labels.push_back(&text);
    return labels;
}

std::vector<std::string> LabelTexts(const ChartPicture& picture, ChartTextAnchor anchor) {
    std::vector<std::string> texts;
    for (const ChartText* label : Labels(picture, anchor)) texts.push_back(label->text);
    return texts;
}

// Positions of the vertical (x) or horizontal (y) grid lines.
std::vector<int> Grid(const ChartPicture& picture, bool vertical) {
    std::vector<int> positions;
    for (const ChartLine& line : picture.grid) {
        if (vertical && line.x1 == line.x2) positions.push_back(line.x1);
        if (!vertical && line.y1 == line.y2) positions.push_back(line.y1);
    }
    return positions;
}

using Strings = std::vector<std::string>;
using Ints = std::vector<int>;

TEST(ChartLayoutTest, AClearedChartPaintsNothingButKeepsTitlesAndXScale) {
    ChartModel model = Model(true, true, 100.0, Steps(3, 1.0, 1.0));
    model.Clear();
    const ChartPicture picture = LayOutChart(model, 1000, 500);
    EXPECT_TRUE(picture.grid.empty() && picture.texts.empty() && picture.marks.empty());
    EXPECT_FALSE(model.Relative() || model.TwoDecimals());
    EXPECT_EQ(model.XScale(), 100.0);
    EXPECT_EQ(model.YTitle(), "Número de neurônios");
}

TEST(ChartLayoutTest, SevenStepsGiveSixXDivisionsAndTheYLabelsCountFromTheBottom) {
    const ChartPicture picture = LayOutChart(Model(true, false, 1.0, Steps(7, 10.0, 10.0)), 1000, 500);
    EXPECT_EQ(Grid(picture, true), (Ints{70, 236, 403, 570, 736, 903, 1070}));
    EXPECT_EQ(Grid(picture, false), (Ints{45, 145, 245, 345, 445, 545}));
    for (const ChartLine& line : picture.grid)
        EXPECT_TRUE(line.x1 == line.x2 ? line.y1 == 45 && line.y2 == 545 : line.x1 == 70 && line.x2 == 1070);

    EXPECT_EQ(LabelTexts(picture, ChartTextAnchor::LeftTop), (Strings{"1", "2", "3", "4", "5", "6", "7"}));
    Ints lefts, bottoms;
    for (const ChartText* label : Labels(picture, ChartTextAnchor::LeftTop)) lefts.push_back(label->x);
    EXPECT_EQ(lefts, (Ints{67, 233, 400, 567, 733, 900, 1067}));  // 3 pixels per character to the left
    EXPECT_EQ(Labels(picture, ChartTextAnchor::LeftTop)[0]->y, 558);

    EXPECT_EQ(LabelTexts(picture, ChartTextAnchor::RightBottom), (Strings{"10", "22", "34", "46", "58", "70"}));
    for (const ChartText* label : Labels(picture, ChartTextAnchor::RightBottom)) bottoms.push_back(label->y);
    EXPECT_EQ(bottoms, (Ints{560, 460, 360, 260, 160, 60}));  // 15 below their grid lines
    EXPECT_EQ(Labels(picture, ChartTextAnchor::RightBottom)[0]->x, 70);
}

TEST(ChartLayoutTest, DivisionCountsFollowTheLargestValues) {
    EXPECT_EQ(Grid(LayOutChart(Model(true, false, 1.0, Steps(23, 1, 1)), 1000, 500), true).size(), 12u);
    EXPECT_EQ(Grid(LayOutChart(Model(false, false, 1.0, Steps(3, 1, 1)), 1000, 500), false), (Ints{45, 211, 378, 545}));
    EXPECT_EQ(Grid(LayOutChart(Model(false, false, 1.0, Steps(2, 12.5, -2)), 1000, 500), false).size(), 6u);
}

TEST(ChartLayoutTest, TitlesAndLabelShiftsAreFixedPixelsOffTheirReferencePoints) {
    const ChartPicture picture = LayOutChart(Model(true, false, 1.0, Steps(3, 1, 1)), 900, 200);
    const ChartText& xTitle = picture.texts.front();
    const ChartText& yTitle = picture.texts.back();
    // 500 - 11 pixels of 1000/900 units; 250 - 19 pixels of 500/200 units.
    EXPECT_EQ(std::tuple(xTitle.text, xTitle.x, xTitle.y, xTitle.anchor, xTitle.vertical),
              std::tuple("Passo", 487, 590, ChartTextAnchor::LeftTop, false));
    EXPECT_EQ(std::tuple(yTitle.text, yTitle.x, yTitle.y, yTitle.anchor, yTitle.vertical),
              std::tuple("Número de neurônios", 28, 202, ChartTextAnchor::RightBottom, true));
    EXPECT_EQ(Labels(picture, ChartTextAnchor::LeftTop).front()->x, 66);  // 70 - 3 pixels of 1.11 units
}

TEST(ChartLayoutTest, LabelFormatsFollowTheModeTheXScaleAndTwoDecimals) {
    // Absolute axes read grid positions as fractions of the maximum; neither
    // the x scale nor the two decimals apply to them.
    const ChartPicture absolute = LayOutChart(Model(false, true, 100.0, {{kCross, 4.0, 5.0}}), 1000, 500);
    EXPECT_EQ(LabelTexts(absolute, ChartTextAnchor::LeftTop), (Strings{"0", "1", "3", "4"}));
    EXPECT_EQ(LabelTexts(absolute, ChartTextAnchor::RightBottom), (Strings{"0", "1", "2", "3", "4", "5"}));

    const std::vector<Point> rates = {{kCross, 1234.0, 30.5}, {kCross, 2468.0, 31.25}};
    const ChartPicture scaled = LayOutChart(Model(true, true, 100.0, rates), 1000, 500);
    EXPECT_EQ(LabelTexts(scaled, ChartTextAnchor::LeftTop), (Strings{"12.34", "24.68"}));
    EXPECT_EQ(Labels(scaled, ChartTextAnchor::LeftTop)[0]->x, 70 - 15);
    EXPECT_EQ(LabelTexts(scaled, ChartTextAnchor::RightBottom),
              (Strings{"30.50", "30.65", "30.80", "30.95", "31.10", "31.25"}));
    const ChartPicture whole = LayOutChart(Model(true, false, 1.0, rates), 1000, 500);
    EXPECT_EQ(LabelTexts(whole, ChartTextAnchor::LeftTop), (Strings{"1234", "2468"}));
    EXPECT_EQ(LabelTexts(whole, ChartTextAnchor::RightBottom)[1], "31");
}

TEST(ChartLayoutTest, CrossesStandAloneAndLinePointsFormOnePolyline) {
    // Absolute, maxX 4 and maxY 5: (x, y) is drawn at (70 + 250x, 545 - 100y).
    const std::vector<Point> points = {{kLine, 1, 1, kChartRed},    {kLine, 2, 2, kChartRed},
                                       {kCross, 3, 5, kChartBlue},  {kLine, 3, 1, kChartGreen},
                                       {kLine, 4, 2, kChartGreen}};
    const ChartPicture picture = LayOutChart(Model(false, false, 1.0, points), 1000, 500);
    ASSERT_EQ(picture.marks.size(), 5u);
    const ChartLine expected[] = {{320, 445, 570, 345}, {814, 39, 826, 51}, {826, 39, 814, 51},
                                  // the green series continues the red one, in its own colour
                                  {570, 345, 820, 445}, {820, 445, 1070, 345}};
    const ChartColour colours[] = {kChartRed, kChartBlue, kChartBlue, kChartGreen, kChartGreen};
    for (std::size_t k = 0; k < 5; ++k) {
        EXPECT_EQ(picture.marks[k].line, expected[k]) << k;
        EXPECT_EQ(picture.marks[k].colour, colours[k]) << k;
    }
}

// Charts the results can produce whose ranges or values the division and
// scaling rules do not cover. Each must still paint a grid with finite,
// readable labels and every finite point inside the plotting area.
struct DegenerateCase {
    const char* name;
    bool relative;
    std::vector<Point> points;
    std::vector<ChartLine> marks;
};

void PrintTo(const DegenerateCase& c, std::ostream* out) { *out << c.name; }

class DegenerateChartTest : public ::testing::TestWithParam<DegenerateCase> {};

TEST_P(DegenerateChartTest, PaintsFiniteAxesAndTheFinitePoints) {
    const DegenerateCase& c = GetParam();
    const ChartPicture picture = LayOutChart(Model(c.relative, true, 100.0, c.points), 900, 200);
    EXPECT_GE(Grid(picture, true).size(), 2u);
    EXPECT_GE(Grid(picture, false).size(), 2u);
    for (const ChartLine& line : picture.grid)
        EXPECT_TRUE(line.x1 >= 70 && line.x2 <= 1070 && line.y1 >= 45 && line.y2 <= 545);
    for (const ChartText& text : picture.texts) {
        EXPECT_TRUE(text.x > -100 && text.x < 1111 && text.y > 0 && text.y < 625) << text.text;
        EXPECT_TRUE(text.text.find("nan") == std::string::npos && text.text.find("inf") == std::string::npos);
    }
    std::vector<ChartLine> marks;
    for (const ChartStroke& mark : picture.marks) marks.push_back(mark.line);
    EXPECT_EQ(marks, c.marks);
    // A viewport without pixels only moves the texts.
    EXPECT_EQ(LayOutChart(Model(c.relative, true, 100.0, c.points), 0, 0).grid, picture.grid);
}

INSTANTIATE_TEST_SUITE_P(
    Charts, DegenerateChartTest,
    ::testing::Values(
        DegenerateCase{"FractionalLargestX", true, {{kCross, 1234.5, 30}, {kCross, 2234.5, 32}},
                       {{64, 539, 76, 551}, {76, 539, 64, 551}, {1064, 39, 1076, 51}, {1076, 39, 1064, 51}}},
        DegenerateCase{"SingleLinePoint", true, {{kLine, 1, 345}}, {}},
        // One point in the middle of the one-unit-wider ranges.
        DegenerateCase{"SingleCross", true, {{kCross, 1234, 30}}, {{564, 289, 576, 301}, {576, 289, 564, 301}}},
        DegenerateCase{"FlatY", true, Steps(3, 50, 0), {{70, 295, 570, 295}, {570, 295, 1070, 295}}},
        DegenerateCase{"AllZeroAbsolute", false, {{kCross, 0, 0}}, {{64, 539, 76, 551}, {76, 539, 64, 551}}},
        DegenerateCase{"RelativeYBelowOne", true, Steps(2, 0.2, 0.6), {{70, 545, 1070, 45}}},
        DegenerateCase{"AbsoluteYBelowOne", false, {{kCross, 2, 0.5}}, {{1064, 39, 1076, 51}, {1076, 39, 1064, 51}}},
        // An "inf" pSNR is skipped; the line joins its neighbours.
        DegenerateCase{"InfinitePsnr", true, {{kLine, 1, 30}, {kLine, 2, kInf}, {kLine, 3, 32}}, {{70, 545, 1070, 45}}},
        DegenerateCase{"NaNValue", false, {{kCross, std::nan(""), 3}, {kCross, 2, 4}},
                       {{1064, 39, 1076, 51}, {1076, 39, 1064, 51}}},
        DegenerateCase{"OnlyNonFinite", true, {{kLine, 1, kInf}, {kLine, 2, -kInf}}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChartLayoutTest, AnEmptyRelativeRangeIsLabelledAroundItsValue) {
    const ChartPicture single = LayOutChart(Model(true, false, 1.0, {{kCross, 1.0, 345.0}}), 1000, 500);
    EXPECT_EQ(LabelTexts(single, ChartTextAnchor::LeftTop), (Strings{"0", "1", "2"}));
    EXPECT_EQ(LabelTexts(single, ChartTextAnchor::RightBottom), (Strings{"344", "345", "346"}));
}

}  // namespace
}  // namespace pictora
