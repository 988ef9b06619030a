#include "measures/Pchip.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace pictora {
namespace {

bool SameSign(double a, double b) { return (a > 0.0 && b > 0.0) || (a < 0.0 && b < 0.0); }

// The three-point end slope from the two end pieces (h0, delta0 nearest the
// end), kept monotone: zero when it points against the end secant, and at most
// three times that secant when the data turn there.
double EndSlope(double h0, double h1, double delta0, double delta1) {
    const double d = ((2.0 * h0 + h1) * delta0 - h0 * delta1) / (h0 + h1);
    if (!SameSign(d, delta0)) return 0.0;
    if (!SameSign(delta0, delta1) && std::fabs(d) > std::fabs(3.0 * delta0)) return 3.0 * delta0;
    return d;
}

std::vector<double> SlopesOf(const std::vector<double>& x, const std::vector<double>& y) {
    const std::size_t n = x.size();
    std::vector<double> h(n - 1);
    std::vector<double> delta(n - 1);
    for (std::size_t k = 0; k + 1 < n; ++k) {
        h[k] = x[k + 1] - x[k];
        delta[k] = (y[k + 1] - y[k]) / h[k];
    }
    std::vector<double> d(n, delta[0]);
    if (n == 2) return d;
    for (std::size_t k = 1; k + 1 < n; ++k) {
        if (!SameSign(delta[k - 1], delta[k])) {
            d[k] = 0.0;
            continue;
        }
        const double w1 = 2.0 * h[k] + h[k - 1];
        const double w2 = h[k] + 2.0 * h[k - 1];
        d[k] = (w1 + w2) / (w1 / delta[k - 1] + w2 / delta[k]);
    }
    d[0] = EndSlope(h[0], h[1], delta[0], delta[1]);
    d[n - 1] = EndSlope(h[n - 2], h[n - 3], delta[n - 2], delta[n - 3]);
    return d;
}

}  // namespace

Status Pchip::Fit(std::span<const double> x, std::span<const double> y, Pchip& out) {
    if (x.size() != y.size()) return Status::Error(ErrorKind::InvalidSetting, "PCHIP needs as many values as knots");
    if (x.size() < 2) return Status::Error(ErrorKind::InvalidSetting, "PCHIP needs at least two knots");
    for (std::size_t k = 0; k < x.size(); ++k) {
        if (!std::isfinite(x[k]) || !std::isfinite(y[k])) return Status::Error(ErrorKind::InvalidSetting, "PCHIP knots must be finite");
        if (k > 0 && !(x[k] > x[k - 1])) {
            return Status::Error(ErrorKind::InvalidSetting, "PCHIP knots must increase strictly; knot " + std::to_string(k) + " does not");
        }
    }
    out.x_.assign(x.begin(), x.end());
    out.y_.assign(y.begin(), y.end());
    out.d_ = SlopesOf(out.x_, out.y_);
    out.cumulative_.assign(x.size(), 0.0);
    for (std::size_t k = 1; k < x.size(); ++k) {
        out.cumulative_[k] = out.cumulative_[k - 1] + out.PieceIntegralTo(k - 1, out.x_[k]);
    }
    return Status::Ok();
}

std::size_t Pchip::PieceOf(double at) const {
    const auto upper = std::upper_bound(x_.begin() + 1, x_.end() - 1, at);
    return static_cast<std::size_t>(upper - x_.begin()) - 1;
}

double Pchip::Value(double at) const {
    const std::size_t k = PieceOf(at);
    const double h = x_[k + 1] - x_[k];
    const double s = (at - x_[k]) / h;
    const double s2 = s * s;
    const double s3 = s2 * s;
    return (2.0 * s3 - 3.0 * s2 + 1.0) * y_[k] + (s3 - 2.0 * s2 + s) * h * d_[k] +
           (-2.0 * s3 + 3.0 * s2) * y_[k + 1] + (s3 - s2) * h * d_[k + 1];
}

// With s = (x - x_k) / h the cubic is a sum of the four Hermite basis
// polynomials; their antiderivatives from 0 to s, times h for dx = h ds:
//   2s^3 - 3s^2 + 1  ->  s^4/2 - s^3 + s
//   s^3 - 2s^2 + s   ->  s^4/4 - 2s^3/3 + s^2/2
//   -2s^3 + 3s^2     ->  -s^4/2 + s^3
//   s^3 - s^2        ->  s^4/4 - s^3/3
double Pchip::PieceIntegralTo(std::size_t k, double at) const {
    const double h = x_[k + 1] - x_[k];
    const double s = (at - x_[k]) / h;
    const double s2 = s * s;
    const double s3 = s2 * s;
    const double s4 = s3 * s;
    const double value0 = s4 / 2.0 - s3 + s;
    const double slope0 = s4 / 4.0 - 2.0 * s3 / 3.0 + s2 / 2.0;
    const double value1 = -s4 / 2.0 + s3;
    const double slope1 = s4 / 4.0 - s3 / 3.0;
    return h * (value0 * y_[k] + slope0 * h * d_[k] + value1 * y_[k + 1] + slope1 * h * d_[k + 1]);
}

double Pchip::IntegralFromStart(double at) const {
    const std::size_t k = PieceOf(at);
    return cumulative_[k] + PieceIntegralTo(k, at);
}

double Pchip::Integral(double a, double b) const { return IntegralFromStart(b) - IntegralFromStart(a); }

}  // namespace pictora
