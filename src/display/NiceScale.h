#pragma once

#include <string>
#include <vector>

namespace pictora {

// A linear axis whose ends and ticks fall on multiples of a "nice" step:
// 1, 2 or 5 times a power of ten.
struct NiceScale {
    double low = 0.0;
    double high = 1.0;
    double step = 0.2;
    // Decimals that show every tick exactly: none for steps of 1 and above.
    int decimals = 1;

    // low, low + step, ..., high, each computed as a whole multiple of the
    // step so that no rounding error builds up along the axis.
    std::vector<double> Ticks() const;
    // A tick's label with `decimals` decimals, a point as separator whatever
    // the locale, and never a "-0".
    std::string Label(double tick) const;
};

// The scale with the smallest nice step that covers [minimum, maximum] in at
// most `maxTicks` ticks (at least 2). An empty range is widened around its
// value by a tenth of it (by 1 around 0); a range with an infinite or NaN end
// becomes [0, 1].
NiceScale NiceScaleOf(double minimum, double maximum, int maxTicks);

}  // namespace pictora
