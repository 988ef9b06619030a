// Highway compiles this file once per instruction set and picks the best one
// the processor supports at the first call.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "measures/WindowKernels.cpp"
#include <hwy/foreach_target.h>  // must come before highway.h
#include <hwy/highway.h>

#include "measures/GaussianWindow.h"
#include "measures/ScalarWindowKernels.h"
#include "measures/WindowKernels.h"

HWY_BEFORE_NAMESPACE();
namespace pictora {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Written out tap by tap: the compiler keeps a loop here, and its partial
// sums then go through memory.
template <class D, class Load>
HWY_INLINE hn::Vec<D> Filtered(D d, const double* taps, Load load) {
    auto sum = hn::Mul(hn::Set(d, taps[0]), hn::Add(load(0), load(10)));
    sum = hn::Add(sum, hn::Mul(hn::Set(d, taps[1]), hn::Add(load(1), load(9))));
    sum = hn::Add(sum, hn::Mul(hn::Set(d, taps[2]), hn::Add(load(2), load(8))));
    sum = hn::Add(sum, hn::Mul(hn::Set(d, taps[3]), hn::Add(load(3), load(7))));
    sum = hn::Add(sum, hn::Mul(hn::Set(d, taps[4]), hn::Add(load(4), load(6))));
    return hn::Add(sum, hn::Mul(hn::Set(d, taps[5]), load(5)));
}

template <class D>
void StoreSamples(D d, hn::Vec<D> x, hn::Vec<D> y, double* out, std::size_t momentStride) {
    hn::StoreU(x, d, out);
    hn::StoreU(y, d, out + momentStride);
    hn::StoreU(hn::Mul(x, x), d, out + 2 * momentStride);
    hn::StoreU(hn::Mul(y, y), d, out + 3 * momentStride);
    hn::StoreU(hn::Mul(x, y), d, out + 4 * momentStride);
}

void FillBytesFor(const std::uint8_t* a, const std::uint8_t* b, std::size_t width, double* out,
                  std::size_t momentStride) {
    const hn::ScalableTag<double> d;
    const hn::Rebind<std::int32_t, decltype(d)> d32;
    const hn::Rebind<std::uint8_t, decltype(d)> d8;
    const std::size_t lanes = hn::Lanes(d);
    std::size_t j = 0;
    for (; j + lanes <= width; j += lanes) {
        const auto x = hn::PromoteTo(d, hn::PromoteTo(d32, hn::LoadU(d8, a + j)));
        const auto y = hn::PromoteTo(d, hn::PromoteTo(d32, hn::LoadU(d8, b + j)));
        StoreSamples(d, x, y, out + j, momentStride);
    }
    ScalarFillSamples(a, b, j, width, out, momentStride);
}

void FillRealsFor(const double* a, const double* b, std::size_t width, double* out, std::size_t momentStride) {
    const hn::ScalableTag<double> d;
    const std::size_t lanes = hn::Lanes(d);
    std::size_t j = 0;
    for (; j + lanes <= width; j += lanes) StoreSamples(d, hn::LoadU(d, a + j), hn::LoadU(d, b + j), out + j, momentStride);
    ScalarFillSamples(a, b, j, width, out, momentStride);
}

void ColumnMomentsFor(const SampleRows& rows, const double* taps, std::size_t width, double* moments,
                      std::size_t stride) {
    const hn::ScalableTag<double> d;
    const std::size_t lanes = hn::Lanes(d);
    const std::size_t step = rows.rowStride;
    std::size_t j = 0;
    for (; j + lanes <= width; j += lanes) {
        for (std::size_t m = 0; m < kMomentCount; ++m) {
            const double* column = rows.data + m * rows.momentStride + j;
            const auto sum = Filtered(d, taps, [&](std::size_t k) { return hn::LoadU(d, column + k * step); });
            hn::StoreU(sum, d, moments + m * stride + j);
        }
    }
    ScalarColumnMoments(rows, taps, j, width, moments, stride);
}

void WindowTermsRowFor(const double* moments, std::size_t stride, const double* taps, std::size_t windows,
                       WindowTerms terms, const TermRows& out) {
    const hn::ScalableTag<double> d;
    const std::size_t lanes = hn::Lanes(d);
    const auto c1 = hn::Set(d, GaussianWindow::kLuminanceConstant);
    const auto c2 = hn::Set(d, GaussianWindow::kContrastConstant);
    const auto two = hn::Set(d, 2.0);
    std::size_t j = 0;
    for (; j + lanes <= windows; j += lanes) {
        using Vec = hn::Vec<decltype(d)>;
        const auto filteredRow = [&](std::size_t m) {
            const double* row = moments + m * stride + j;
            return Filtered(d, taps, [&](std::size_t k) { return hn::LoadU(d, row + k); });
        };
        const Vec meanA = filteredRow(0);
        const Vec meanB = filteredRow(1);
        const Vec squareA = filteredRow(2);
        const Vec squareB = filteredRow(3);
        const Vec product = filteredRow(4);
        const Vec meanProduct = hn::Mul(meanA, meanB);
        const Vec varianceA = hn::Sub(squareA, hn::Mul(meanA, meanA));
        const Vec varianceB = hn::Sub(squareB, hn::Mul(meanB, meanB));
        const Vec covariance = hn::Sub(product, meanProduct);
        const Vec luminanceUp = hn::Add(hn::Mul(two, meanProduct), c1);
        const Vec luminanceDown = hn::Add(hn::Add(hn::Mul(meanA, meanA), hn::Mul(meanB, meanB)), c1);
        const Vec contrastUp = hn::Add(hn::Mul(two, covariance), c2);
        const Vec contrastDown = hn::Add(hn::Add(varianceA, varianceB), c2);
        if (terms.similarity) {
            hn::StoreU(hn::Div(hn::Mul(luminanceUp, contrastUp), hn::Mul(luminanceDown, contrastDown)), d,
                       out.similarity + j);
        }
        if (terms.contrastStructure) hn::StoreU(hn::Div(contrastUp, contrastDown), d, out.contrastStructure + j);
        if (terms.luminance) hn::StoreU(hn::Div(luminanceUp, luminanceDown), d, out.luminance + j);
    }
    ScalarWindowTerms(moments, stride, taps, j, windows, terms, out);
}

}  // namespace HWY_NAMESPACE
}  // namespace pictora
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace pictora {

HWY_EXPORT(FillBytesFor);
HWY_EXPORT(FillRealsFor);
HWY_EXPORT(ColumnMomentsFor);
HWY_EXPORT(WindowTermsRowFor);

void FillSamples(const std::uint8_t* a, const std::uint8_t* b, std::size_t width, double* out,
                 std::size_t momentStride) {
    HWY_DYNAMIC_DISPATCH(FillBytesFor)(a, b, width, out, momentStride);
}

void FillSamples(const double* a, const double* b, std::size_t width, double* out, std::size_t momentStride) {
    HWY_DYNAMIC_DISPATCH(FillRealsFor)(a, b, width, out, momentStride);
}

void ColumnMoments(const SampleRows& rows, const double* taps, std::size_t width, double* moments,
                   std::size_t stride) {
    HWY_DYNAMIC_DISPATCH(ColumnMomentsFor)(rows, taps, width, moments, stride);
}

void WindowTermsRow(const double* moments, std::size_t stride, const double* taps, std::size_t windows,
                    WindowTerms terms, const TermRows& out) {
    HWY_DYNAMIC_DISPATCH(WindowTermsRowFor)(moments, stride, taps, windows, terms, out);
}

}  // namespace pictora
#endif  // HWY_ONCE
