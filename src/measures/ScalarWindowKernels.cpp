#include "measures/ScalarWindowKernels.h"

#include "measures/GaussianWindow.h"

namespace pictora {

void ScalarColumnMoments(const double* const* aRows, const double* const* bRows, const double* taps,
                         std::size_t begin, std::size_t end, double* moments, std::size_t stride) {
    for (std::size_t j = begin; j < end; ++j) {
        double a = aRows[0][j];
        double b = bRows[0][j];
        double meanA = taps[0] * a;
        double meanB = taps[0] * b;
        double squareA = taps[0] * (a * a);
        double squareB = taps[0] * (b * b);
        double product = taps[0] * (a * b);
        for (std::size_t k = 1; k < GaussianWindow::kSide; ++k) {
            a = aRows[k][j];
            b = bRows[k][j];
            meanA = meanA + taps[k] * a;
            meanB = meanB + taps[k] * b;
            squareA = squareA + taps[k] * (a * a);
            squareB = squareB + taps[k] * (b * b);
            product = product + taps[k] * (a * b);
        }
        moments[j] = meanA;
        moments[stride + j] = meanB;
        moments[2 * stride + j] = squareA;
        moments[3 * stride + j] = squareB;
        moments[4 * stride + j] = product;
    }
}

void ScalarWindowTerms(const double* moments, std::size_t stride, const double* taps, std::size_t begin,
                       std::size_t end, WindowTerms terms, const TermRows& out) {
    const double c1 = GaussianWindow::kLuminanceConstant;
    const double c2 = GaussianWindow::kContrastConstant;
    for (std::size_t j = begin; j < end; ++j) {
        double sums[kMomentCount];
        for (std::size_t m = 0; m < kMomentCount; ++m) {
            const double* row = moments + m * stride + j;
            double sum = taps[0] * row[0];
            for (std::size_t k = 1; k < GaussianWindow::kSide; ++k) sum = sum + taps[k] * row[k];
            sums[m] = sum;
        }
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
