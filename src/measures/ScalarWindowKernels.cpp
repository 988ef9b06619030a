#include "measures/ScalarWindowKernels.h"

#include "measures/GaussianWindow.h"

namespace pictora {

namespace {

double Filtered(const double* const* rows, std::size_t j, const double* taps) {
    double sum = taps[0] * (rows[0][j] + rows[10][j]);
    for (std::size_t k = 1; k < GaussianWindow::kRadius; ++k) sum = sum + taps[k] * (rows[k][j] + rows[10 - k][j]);
    return sum + taps[5] * rows[5][j];
}

double Filtered(const double* row, const double* taps) {
    double sum = taps[0] * (row[0] + row[10]);
    for (std::size_t k = 1; k < GaussianWindow::kRadius; ++k) sum = sum + taps[k] * (row[k] + row[10 - k]);
    return sum + taps[5] * row[5];
}

}  // namespace

void ScalarColumnMoments(const double* const* rows, const double* taps, std::size_t begin, std::size_t end,
                         double* moments, std::size_t stride) {
    for (std::size_t m = 0; m < kMomentCount; ++m) {
        const double* const* momentRows = rows + m * GaussianWindow::kSide;
        for (std::size_t j = begin; j < end; ++j) moments[m * stride + j] = Filtered(momentRows, j, taps);
    }
}

void ScalarWindowTerms(const double* moments, std::size_t stride, const double* taps, std::size_t begin,
                       std::size_t end, WindowTerms terms, const TermRows& out) {
    const double c1 = GaussianWindow::kLuminanceConstant;
    const double c2 = GaussianWindow::kContrastConstant;
    for (std::size_t j = begin; j < end; ++j) {
        double sums[kMomentCount];
        for (std::size_t m = 0; m < kMomentCount; ++m) sums[m] = Filtered(moments + m * stride + j, taps);
        const double meanA = sums[0];
        const double meanB = sums[1];
        const double meanProduct = meanA * meanB;
        const double varianceA = sums[2] - meanA * meanA;
        const double varianceB = sums[3] - meanB * meanB;
        const double covariance = sums[4] - meanProduct;
        const double luminanceUp = 2.0 * meanProduct + c1;
        const double luminanceDown = (meanA * meanA + meanB * meanB) + c1;
        const double contrastUp = 2.0 * covariance + c2;
        const double contrastDown = (varianceA + varianceB) + c2;
        if (terms.similarity) out.similarity[j] = (luminanceUp * contrastUp) / (luminanceDown * contrastDown);
        if (terms.contrastStructure) out.contrastStructure[j] = contrastUp / contrastDown;
        if (terms.luminance) out.luminance[j] = luminanceUp / luminanceDown;
    }
}

}  // namespace pictora
