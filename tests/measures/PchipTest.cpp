#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "measures/Pchip.h"

namespace pictora {
namespace {

Pchip FitOrFail(const std::vector<double>& x, const std::vector<double>& y) {
    Pchip curve;
    const Status status = Pchip::Fit(x, y, curve);
    EXPECT_TRUE(status.ok()) << status.message();
    return curve;
}

// Worked by hand: x = 0, 1, 3, 4 and y = 0, 1, 2, 4 give h = 1, 2, 1 and
// secants delta = 1, 1/2, 2.
//   d1: w1 = 2*2 + 1 = 5, w2 = 2 + 2*1 = 4, 1/d1 = (5/1 + 4/0.5) / 9 = 13/9.
//   d2: w1 = 2*1 + 2 = 4, w2 = 1 + 2*2 = 5, 1/d2 = (4/0.5 + 5/2) / 9 = 7/6.
//   d0 = ((2 + 2)*1 - 1*0.5) / 3 = 7/6, d3 = ((2 + 2)*2 - 1*0.5) / 3 = 5/2;
//   both agree with their secants and the secants do not turn: kept.
// A whole piece integrates to h ((y_k + y_k+1)/2 + h (d_k - d_k+1)/12):
//   piece 0: 1/2 + (7/6 - 9/13)/12 = 1/2 + 37/936
//   piece 1: 2 (3/2 + 2 (9/13 - 6/7)/12) = 3 - 5/91
//   piece 2: 3 + (6/7 - 5/2)/12 = 3 - 23/168
// Half of piece 0 (s = 1/2): the basis antiderivatives are 13/32, 11/192,
// 3/32 and -5/192, so the integral is 11/192 * 7/6 + 3/32 - 5/192 * 9/13,
// and the value 1/2 + (7/6 - 9/13)/8.
class PchipWorkedExample : public ::testing::Test {
protected:
    Pchip curve = FitOrFail({0.0, 1.0, 3.0, 4.0}, {0.0, 1.0, 2.0, 4.0});
};

TEST_F(PchipWorkedExample, Slopes) {
    const std::vector<double>& d = curve.Slopes();
    ASSERT_EQ(d.size(), 4u);
    EXPECT_NEAR(d[0], 7.0 / 6.0, 1e-15);
    EXPECT_NEAR(d[1], 9.0 / 13.0, 1e-15);
    EXPECT_NEAR(d[2], 6.0 / 7.0, 1e-15);
    EXPECT_NEAR(d[3], 5.0 / 2.0, 1e-15);
}

TEST_F(PchipWorkedExample, ValuesPassThroughTheKnots) {
    const double x[] = {0.0, 1.0, 3.0, 4.0};
    const double y[] = {0.0, 1.0, 2.0, 4.0};
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(curve.Value(x[k]), y[k], 1e-15) << k;
    EXPECT_NEAR(curve.Value(0.5), 0.5 + (7.0 / 6.0 - 9.0 / 13.0) / 8.0, 1e-15);
}

TEST_F(PchipWorkedExample, ExactIntegrals) {
    const double piece0 = 0.5 + 37.0 / 936.0;
    const double piece1 = 3.0 - 5.0 / 91.0;
    const double piece2 = 3.0 - 23.0 / 168.0;
    EXPECT_NEAR(curve.Integral(0.0, 1.0), piece0, 1e-14);
    EXPECT_NEAR(curve.Integral(1.0, 3.0), piece1, 1e-14);
    EXPECT_NEAR(curve.Integral(3.0, 4.0), piece2, 1e-14);
    EXPECT_NEAR(curve.Integral(0.0, 4.0), piece0 + piece1 + piece2, 1e-14);
    const double halfPiece0 = 11.0 / 192.0 * 7.0 / 6.0 + 3.0 / 32.0 - 5.0 / 192.0 * 9.0 / 13.0;
    EXPECT_NEAR(curve.Integral(0.0, 0.5), halfPiece0, 1e-15);
    EXPECT_NEAR(curve.Integral(0.5, 4.0), piece0 + piece1 + piece2 - halfPiece0, 1e-14);
    EXPECT_NEAR(curve.Integral(4.0, 0.5), -(piece0 + piece1 + piece2 - halfPiece0), 1e-14);
}

// Composite Simpson's rule on the evaluated interpolant, accurate for a
// cubic up to rounding, so any slip in the closed form shows.
double Simpson(const Pchip& curve, double a, double b, int intervals) {
    const double h = (b - a) / intervals;
    double sum = curve.Value(a) + curve.Value(b);
    for (int i = 1; i < intervals; ++i) sum += (i % 2 == 1 ? 4.0 : 2.0) * curve.Value(a + i * h);
    return sum * h / 3.0;
}

TEST(PchipTest, IntegralsMatchAFineQuadrature) {
    const Pchip curve = FitOrFail({24.5, 27.25, 29.0, 33.5, 34.0, 38.75}, {-1.3, -0.9, -0.2, 0.1, 0.15, 0.6});
    const std::vector<double>& x = curve.Knots();
    for (std::size_t k = 0; k + 1 < x.size(); ++k) {
        EXPECT_NEAR(curve.Integral(x[k], x[k + 1]), Simpson(curve, x[k], x[k + 1], 2000), 1e-12) << k;
    }
    // Across knots the sum of partial pieces, each piece integrated separately.
    const double a = 25.1;
    const double b = 36.2;
    double quadrature = Simpson(curve, a, x[1], 2000) + Simpson(curve, x[4], b, 2000);
    for (std::size_t k = 1; k < 4; ++k) quadrature += Simpson(curve, x[k], x[k + 1], 2000);
    EXPECT_NEAR(curve.Integral(a, b), quadrature, 1e-12);
}

TEST(PchipTest, InteriorSlopeIsZeroWhereTheDataTurnOrStayFlat) {
    const Pchip turn = FitOrFail({0.0, 1.0, 2.0, 3.0}, {0.0, 2.0, 1.0, 1.0});
    EXPECT_EQ(turn.Slopes()[1], 0.0);  // secants 2 and -1
    EXPECT_EQ(turn.Slopes()[2], 0.0);  // secants -1 and 0
}

TEST(PchipTest, EndSlopeAgainstItsSecantBecomesZero) {
    // h = 1, 1; secants 1, 4: d0 = (3*1 - 4) / 2 = -1/2 opposes the first secant.
    const Pchip curve = FitOrFail({0.0, 1.0, 2.0}, {0.0, 1.0, 5.0});
    EXPECT_EQ(curve.Slopes()[0], 0.0);
    // The far end: d2 = (3*4 - 1) / 2 = 11/2, no turn, kept.
    EXPECT_EQ(curve.Slopes()[2], 5.5);
}

TEST(PchipTest, EndSlopeWhereTheDataTurnIsClampedToThreeSecants) {
    // Secants 1, -5: d0 = (3*1 + 5) / 2 = 4 exceeds 3*1, so 3; at the far end
    // d2 = (3*(-5) - 1) / 2 = -8 stays within 3*5.
    const Pchip clamped = FitOrFail({0.0, 1.0, 2.0}, {0.0, 1.0, -4.0});
    EXPECT_EQ(clamped.Slopes()[0], 3.0);
    EXPECT_EQ(clamped.Slopes()[2], -8.0);
    // Secants 1, -1: d0 = (3 + 1) / 2 = 2 is within 3, kept.
    const Pchip kept = FitOrFail({0.0, 1.0, 2.0}, {0.0, 1.0, 0.0});
    EXPECT_EQ(kept.Slopes()[0], 2.0);
    // Unequal pieces weigh the nearer one more: h = 1, 3; secants 2, -1:
    // d0 = ((2 + 3)*2 - 1*(-1)) / 4 = 11/4, within 6.
    const Pchip uneven = FitOrFail({0.0, 1.0, 4.0}, {0.0, 2.0, -1.0});
    EXPECT_EQ(uneven.Slopes()[0], 2.75);
}

TEST(PchipTest, TwoKnotsGiveTheStraightLine) {
    const Pchip line = FitOrFail({1.0, 3.0}, {2.0, 6.0});
    EXPECT_EQ(line.Slopes(), (std::vector<double>{2.0, 2.0}));
    EXPECT_DOUBLE_EQ(line.Value(2.0), 4.0);
    EXPECT_DOUBLE_EQ(line.Integral(1.0, 3.0), 8.0);
}

TEST(PchipTest, RefusesKnotsThatDoNotIncreaseStrictlyOrAreNotFinite) {
    Pchip curve;
    EXPECT_FALSE(Pchip::Fit(std::vector<double>{0.0, 1.0, 1.0}, std::vector<double>{0.0, 1.0, 2.0}, curve).ok());
    EXPECT_FALSE(Pchip::Fit(std::vector<double>{0.0, 2.0, 1.0}, std::vector<double>{0.0, 1.0, 2.0}, curve).ok());
    EXPECT_FALSE(Pchip::Fit(std::vector<double>{0.0, 1.0}, std::vector<double>{0.0, NAN}, curve).ok());
    EXPECT_FALSE(Pchip::Fit(std::vector<double>{0.0}, std::vector<double>{0.0}, curve).ok());
    EXPECT_FALSE(Pchip::Fit(std::vector<double>{0.0, 1.0}, std::vector<double>{0.0}, curve).ok());
}

}  // namespace
}  // namespace pictora
