#include <gtest/gtest.h>

#include "display/ViewGeometry.h"

using namespace pictora;

namespace {

ViewGeometry Geometry(int viewWidth, int viewHeight, int imageWidth, int imageHeight) {
    ViewGeometry geometry;
    geometry.SetViewport(viewWidth, viewHeight);
    geometry.SetImageSize(imageWidth, imageHeight);
    return geometry;
}

}  // namespace

TEST(ZoomLevelTest, StepsRunFromFitToSixteenAndStopAtTheEnds) {
    EXPECT_EQ(ZoomedOut(ZoomLevel::kFit), ZoomLevel::kFit);
    EXPECT_EQ(ZoomedIn(ZoomLevel::k16), ZoomLevel::k16);
    ZoomLevel level = ZoomLevel::kFit;
    std::vector<int> factors;
    for (int i = 0; i < 8; ++i) factors.push_back(ZoomFactor(level = ZoomedIn(level)));
    EXPECT_EQ(factors, (std::vector<int>{1, 2, 3, 4, 6, 8, 12, 16}));
    EXPECT_STREQ(ZoomCaption(ZoomLevel::k4), "4×");
    EXPECT_STREQ(ZoomCaption(ZoomLevel::kFit), "Ajustar");
}

TEST(ViewGeometryTest, FitShrinksTheWholeExtentIntoTheViewCentredButNeverEnlarges) {
    ViewGeometry large = Geometry(400, 300, 2268, 1512);
    EXPECT_DOUBLE_EQ(large.Scale(), 400.0 / 2268);
    EXPECT_DOUBLE_EQ(large.Offset().x, 0);
    EXPECT_DOUBLE_EQ(large.Offset().y, (300 - 1512 * (400.0 / 2268)) / 2);
    EXPECT_EQ(large.VisibleSource(), (PixelRect{0, 0, 2268, 1512}));

    ViewGeometry small = Geometry(400, 300, 64, 32);
    EXPECT_DOUBLE_EQ(small.Scale(), 1);
    EXPECT_DOUBLE_EQ(small.Offset().x, 168);
    EXPECT_DOUBLE_EQ(small.Offset().y, 134);
    EXPECT_EQ(small.PixelAt({168, 134}), (PixelPoint{0, 0}));
    EXPECT_EQ(small.PixelAt({167.5, 134}), std::nullopt);
    EXPECT_EQ(small.PixelAt({168 + 63.9, 134 + 31.9}), (PixelPoint{63, 31}));
    EXPECT_EQ(small.PixelAt({168 + 64, 134}), std::nullopt);
}

TEST(ViewGeometryTest, ZoomAboutAPointKeepsThePixelUnderIt) {
    ViewGeometry geometry = Geometry(400, 300, 500, 500);
    const ViewPoint cursor{123, 77};
    std::optional<PixelPoint> before = geometry.PixelAt(cursor);
    ASSERT_TRUE(before);
    for (ZoomLevel level : {ZoomLevel::k1, ZoomLevel::k4, ZoomLevel::k16, ZoomLevel::k3, ZoomLevel::k2}) {
        geometry.ZoomAbout(level, cursor);
        EXPECT_EQ(geometry.Zoom(), level);
        EXPECT_EQ(geometry.PixelAt(cursor), before) << ZoomCaption(level);
        // Whole factors keep pixels on whole view positions, so none is drawn wider than the others.
        EXPECT_EQ(geometry.Offset().x, static_cast<int>(geometry.Offset().x));
        EXPECT_EQ(geometry.Offset().y, static_cast<int>(geometry.Offset().y));
    }
    geometry.ZoomOutAbout(cursor);
    EXPECT_EQ(geometry.Zoom(), ZoomLevel::k1);
    EXPECT_EQ(geometry.PixelAt(cursor), before);
}

TEST(ViewGeometryTest, ZoomingAboutAPointBesideTheImageHoldsItsNearestEdge) {
    ViewGeometry geometry = Geometry(200, 200, 100, 100);  // centred at 1:1, corner at 50, 50
    geometry.ZoomAbout(ZoomLevel::k4, {0, 0});
    EXPECT_EQ(geometry.Scale(), 4);
    EXPECT_DOUBLE_EQ(geometry.Offset().x, 50);
    EXPECT_DOUBLE_EQ(geometry.Offset().y, 50);

    ViewGeometry small = Geometry(200, 200, 10, 10);  // at 95..105
    small.ZoomAbout(ZoomLevel::k4, {199, 100});        // right of it, level with row 5
    EXPECT_EQ(small.PixelAt({104, 100}), (PixelPoint{9, 5}));
    EXPECT_EQ(small.PixelAt({110, 100}), std::nullopt);
}

TEST(ViewGeometryTest, PanningAlwaysLeavesAStripOfTheImageInView) {
    ViewGeometry geometry = Geometry(300, 200, 100, 40);
    geometry.ZoomAbout(ZoomLevel::k4, geometry.ViewCentre());  // 400 x 160: wider, lower than the view
    geometry.PanBy(1000, 1000);
    EXPECT_DOUBLE_EQ(geometry.Offset().x, 300 - 32);
    EXPECT_DOUBLE_EQ(geometry.Offset().y, 200 - 32);
    geometry.PanBy(-5000, -5000);
    EXPECT_DOUBLE_EQ(geometry.Offset().x, 32 - 400);
    EXPECT_DOUBLE_EQ(geometry.Offset().y, 32 - 160);
    geometry.PanBy(30, 0);
    EXPECT_DOUBLE_EQ(geometry.Offset().x, 62 - 400);

    // A picture smaller than the strip stays wholly in view.
    ViewGeometry dot = Geometry(300, 200, 1, 1);
    dot.ZoomAbout(ZoomLevel::k16, dot.ViewCentre());
    dot.PanBy(-1000, 1000);
    EXPECT_DOUBLE_EQ(dot.Offset().x, 0);
    EXPECT_DOUBLE_EQ(dot.Offset().y, 200 - 16);

    // In fit the whole image is seen, so there is nothing to pan.
    geometry.ZoomAbout(ZoomLevel::kFit, {});
    const ViewPoint fitted = geometry.Offset();
    geometry.PanBy(50, 50);
    EXPECT_DOUBLE_EQ(geometry.Offset().x, fitted.x);
}

TEST(ViewGeometryTest, VisibleSourceCoversPartlyShownPixelsAndLandsOnTheView) {
    ViewGeometry geometry = Geometry(100, 50, 1000, 1000);
    geometry.ZoomAbout(ZoomLevel::k3, {25, 0});  // the corner of the fitted image
    EXPECT_DOUBLE_EQ(geometry.Offset().x, 25);
    geometry.PanBy(-326, -32);  // the view starts one view pixel into image column 100, two into row 10
    const PixelRect visible = geometry.VisibleSource();
    EXPECT_EQ(visible, (PixelRect{100, 10, 34, 18}));  // columns 100..133 (133 partly), rows 10..27
    const ViewRect target = geometry.TargetOf(visible);
    EXPECT_DOUBLE_EQ(target.left, -1);
    EXPECT_DOUBLE_EQ(target.top, -2);
    EXPECT_DOUBLE_EQ(target.width, 102);
    EXPECT_DOUBLE_EQ(target.height, 54);

    EXPECT_EQ(visible.Intersected({0, 0, 120, 12}), (PixelRect{100, 10, 20, 2}));
    EXPECT_TRUE(visible.Intersected({0, 0, 100, 100}).Empty());
}

TEST(ViewGeometryTest, DegenerateSizesGiveNothingVisibleAndNoPixel) {
    ViewGeometry none = Geometry(300, 200, 0, 0);
    EXPECT_TRUE(none.VisibleSource().Empty());
    EXPECT_EQ(none.PixelAt({10, 10}), std::nullopt);
    none.ZoomInAbout({10, 10});
    none.PanBy(5, 5);
    EXPECT_TRUE(none.VisibleSource().Empty());

    ViewGeometry single = Geometry(300, 200, 1, 1);
    single.ZoomAbout(ZoomLevel::k16, {0, 0});
    EXPECT_EQ(single.VisibleSource(), (PixelRect{0, 0, 1, 1}));
    EXPECT_EQ(single.PixelAt(single.ViewCentre()), (PixelPoint{0, 0}));

    ViewGeometry hidden = Geometry(0, 0, 64, 64);
    EXPECT_TRUE(hidden.VisibleSource().Empty());
}
