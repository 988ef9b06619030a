#pragma once

// The similarity measures written out as their formulas read: every window's
// moments summed over the full 11 x 11 square of 2-D weights, no separable
// filtering, no vectors, no threads. Slow, and the yardstick for the library.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "support/Plane.h"

namespace pictora::reference {

struct Samples {
    std::uint32_t height = 0;
    std::uint32_t width = 0;
    std::vector<double> values;
    double At(std::uint32_t i, std::uint32_t j) const { return values[static_cast<std::size_t>(i) * width + j]; }
};

inline Samples FromPlane(const Plane& plane) {
    Samples samples{plane.Height(), plane.Width(), {}};
    for (std::uint32_t i = 0; i < plane.Height(); ++i)
        for (std::uint32_t j = 0; j < plane.Width(); ++j) samples.values.push_back(plane[i][j]);
    return samples;
}

inline Samples Halve(const Samples& p) {
    Samples half{p.height / 2, p.width / 2, {}};
    for (std::uint32_t i = 0; i < half.height; ++i)
        for (std::uint32_t j = 0; j < half.width; ++j)
            half.values.push_back(
                (p.At(2 * i, 2 * j) + p.At(2 * i + 1, 2 * j) + p.At(2 * i, 2 * j + 1) + p.At(2 * i + 1, 2 * j + 1)) /
                4.0);
    return half;
}

struct MapMeans {
    double ssim = 0.0;
    double cs = 0.0;
    double l = 0.0;
    std::vector<double> ssimMap;
};

inline MapMeans Windows(const Samples& a, const Samples& b) {
    double weights[11][11];
    double total = 0.0;
    for (int y = -5; y <= 5; ++y)
        for (int x = -5; x <= 5; ++x) {
            weights[y + 5][x + 5] = std::exp(-(x * x + y * y) / (2.0 * 1.5 * 1.5));
            total += weights[y + 5][x + 5];
        }
    for (auto& row : weights)
        for (double& w : row) w /= total;
    const double c1 = (0.01 * 255) * (0.01 * 255);
    const double c2 = (0.03 * 255) * (0.03 * 255);
    MapMeans means;
    for (std::uint32_t i = 0; i + 11 <= a.height; ++i)
        for (std::uint32_t j = 0; j + 11 <= a.width; ++j) {
            double ma = 0, mb = 0, eaa = 0, ebb = 0, eab = 0;
            for (std::uint32_t y = 0; y < 11; ++y)
                for (std::uint32_t x = 0; x < 11; ++x) {
                    const double w = weights[y][x];
                    const double va = a.At(i + y, j + x);
                    const double vb = b.At(i + y, j + x);
                    ma += w * va;
                    mb += w * vb;
                    eaa += w * va * va;
                    ebb += w * vb * vb;
                    eab += w * va * vb;
                }
            const double va = eaa - ma * ma;
            const double vb = ebb - mb * mb;
            const double cov = eab - ma * mb;
            const double l = (2 * ma * mb + c1) / (ma * ma + mb * mb + c1);
            const double cs = (2 * cov + c2) / (va + vb + c2);
            const double ssim = ((2 * ma * mb + c1) * (2 * cov + c2)) / ((ma * ma + mb * mb + c1) * (va + vb + c2));
            means.ssimMap.push_back(ssim);
            means.ssim += ssim;
            means.cs += cs;
            means.l += l;
        }
    const double n = static_cast<double>(means.ssimMap.size());
    means.ssim /= n;
    means.cs /= n;
    means.l /= n;
    return means;
}

inline double Ssim(const Plane& a, const Plane& b) { return Windows(FromPlane(a), FromPlane(b)).ssim; }

inline double MsSsim(const Plane& a, const Plane& b) {
    const double beta[5] = {0.0448, 0.2856, 0.3001, 0.2363, 0.1333};
    Samples pa = FromPlane(a);
    Samples pb = FromPlane(b);
    double result = 1.0;
    for (int scale = 0; scale < 5; ++scale) {
        if (scale > 0) {
            pa = Halve(pa);
            pb = Halve(pb);
        }
        const MapMeans means = Windows(pa, pb);
        result *= std::pow(std::max(means.cs, 0.0), beta[scale]);
        if (scale == 4) result *= std::pow(std::max(means.l, 0.0), beta[scale]);
    }
    return result;
}

}  // namespace pictora::reference
