#pragma once

#include <span>
#include <vector>

#include "support/Status.h"

namespace pictora {

// The monotone piecewise cubic Hermite interpolant through (x_k, y_k): on
// [x_k, x_k+1] the cubic with values y_k, y_k+1 and slopes d_k, d_k+1, the
// slopes chosen so that the interpolant never overshoots the data (a
// weighted harmonic mean of the neighbouring secants inside, a three-point
// estimate kept to the secant's sign and to three times its size at the ends).
//
// The knots must be finite with x strictly increasing: a repeated x gives a
// zero-width piece whose secant is undefined, so Fit refuses it rather than
// pick one of the two values. (A Pareto front, the usual source, never repeats
// a quality.) Two knots give the straight line between them.
class Pchip {
public:
    static Status Fit(std::span<const double> x, std::span<const double> y, Pchip& out);

    // The interpolant at `at`; outside the knots the end piece's cubic goes on.
    double Value(double at) const;
    // The exact integral from a to b (negative when b < a), summed piece by
    // piece from the closed form of each cubic; outside the knots the end
    // pieces' cubics go on.
    double Integral(double a, double b) const;

    const std::vector<double>& Knots() const { return x_; }
    const std::vector<double>& Slopes() const { return d_; }

private:
    // The piece whose interval holds `at`, the end pieces taking what lies beyond.
    std::size_t PieceOf(double at) const;
    // The integral over piece k from its left end to `at` within it.
    double PieceIntegralTo(std::size_t k, double at) const;
    // Integral from x_0 to `at`.
    double IntegralFromStart(double at) const;

    std::vector<double> x_;
    std::vector<double> y_;
    std::vector<double> d_;
    // Integral from x_0 to x_k, so a definite integral costs two partial pieces.
    std::vector<double> cumulative_;
};

}  // namespace pictora
