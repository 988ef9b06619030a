#include "display/NiceScale.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace pictora {
namespace {

// 0.9 / 0.1 is a hair above 9: an end that is a multiple of the step must not
// be rounded out to the next one by such an error.
constexpr double kQuotientSlack = 1e-9;

}  // namespace

std::vector<double> NiceScale::Ticks() const {
    const long first = std::lround(low / step);
    const long last = std::lround(high / step);
    std::vector<double> ticks;
    for (long k = first; k <= last; ++k) ticks.push_back(static_cast<double>(k) * step);
    return ticks;
}

std::string NiceScale::Label(double tick) const {
    std::array<char, 64> buffer{};
    // Anything that rounds to zero at this precision prints as plain zero.
    const double shown = std::fabs(tick) < 0.5 * step ? 0.0 : tick;
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), shown, std::chars_format::fixed, decimals);
    return std::string(buffer.data(), result.ptr);
}

NiceScale NiceScaleOf(double minimum, double maximum, int maxTicks) {
    if (!std::isfinite(minimum) || !std::isfinite(maximum)) {
        minimum = 0.0;
        maximum = 1.0;
    }
    if (maximum < minimum) std::swap(minimum, maximum);
    if (maximum == minimum) {
        const double widening = minimum == 0.0 ? 1.0 : std::fabs(minimum) * 0.1;
        minimum -= widening;
        maximum += widening;
    }
    const int intervals = std::max(1, maxTicks - 1);
    const double rough = (maximum - minimum) / intervals;
    int exponent = static_cast<int>(std::floor(std::log10(rough)));
    constexpr std::array<double, 3> kMantissas = {1.0, 2.0, 5.0};
    // The rough step may need the next decade once the ends are rounded out,
    // so the search walks on until the covering fits.
    for (;; ++exponent) {
        const double decade = std::pow(10.0, exponent);
        for (const double mantissa : kMantissas) {
            const double step = mantissa * decade;
            const double low = std::floor(minimum / step + kQuotientSlack) * step;
            const double high = std::ceil(maximum / step - kQuotientSlack) * step;
            if (std::lround((high - low) / step) <= intervals) {
                return {low, high, step, std::max(0, -exponent)};
            }
        }
    }
}

}  // namespace pictora
