#include "measures/ScalarWindowKernels.h"

#include "measures/GaussianWindow.h"

namespace pictora {

namespace {

// The filter over x[0], x[step], .. x[10 step].
double Filtered(const double* x, std::size_t step, const double* taps) {
    double sum = taps[0] * (x[0] + x[10 * step]);
    for (std::size_t k = 1; k < GaussianWindow::kRadius; ++k) sum = sum + taps[k] * (x[k * step] + x[(10 - k) * step]);
    return sum + taps[5] * x[5 * step];
}

template <typename Sample>
void FillSamplesOf(const Sample* a, const Sample* b, std::size_t begin, std::size_t end, double* out,
                   std::size_t momentStride) {
    for (std::size_t j = begin; j < end; ++j) {
        const double x = static_cast<double>(a[j]);
        const double y = static_cast<double>(b[j]);
        out[j] = x;
        out[momentStride + j] = y;
        out[2 * momentStride + j] = x * x;
        out[3 * momentStride + j] = y * y;
        out[4 * momentStride + j] = x * y;
    }
}

}  // namespace

void ScalarFillSamples(const std::uint8_t* a, const std::uint8_t* b, std::size_t begin, std::size_t end, double* out,
                       std::size_t momentStride) {
    FillSamplesOf(a, b, begin, end, out, momentStride);
}

void ScalarFillSamples(const double* a, const double* b, std::size_t begin, std::size_t end, double* out,
                       std::size_t momentStride) {
    FillSamplesOf(a, b, begin, end, out, momentStride);
}

void ScalarColumnMoments(const SampleRows& rows, const double* taps, std::size_t begin, std::size_t end,
                         double* moments, std::size_t stride) {
    for (std::size_t m = 0; m < kMomentCount; ++m) {
        const double* samples = rows.data + m * rows.momentStride;
        for (std::size_t j = begin; j < end; ++j) moments[m * stride + j] = Filtered(samples + j, rows.rowStride, taps);
    }
}

void ScalarWindowTerms(const double* moments, std::size_t stride, const double* taps, std::size_t begin,
                       std::size_t end, WindowTerms terms, const TermRows& out) {
    const double c1 = GaussianWindow::kLuminanceConstant;
    const double c2 = GaussianWindow::kContrastConstant;
    for (std::size_t j = begin; j < end; ++j) {
        double sums[kMomentCount];
        for (std::size_t m = 0; m < kMomentCount; ++m) sums[m] = Filtered(moments + m * stride + j, 1, taps);
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
