#include "measures/WindowScan.h"

#include <algorithm>
#include <cstddef>

#include "measures/GaussianWindow.h"
#include "measures/WindowKernels.h"
#include "support/WorkerPool.h"

namespace pictora {

namespace {

// Rows of windows per part: enough to keep the parts' overhead (the 10 extra
// rows each band converts) small, few enough to share a plane out evenly.
constexpr std::size_t kBandRows = 32;
constexpr std::size_t kInputRows = kBandRows + GaussianWindow::kSide - 1;

// One thread's working rows, kept between the parts it runs.
struct Scratch {
    std::vector<double> inputA;
    std::vector<double> inputB;
    std::vector<double> products;  // a^2, b^2 and ab of the band's rows
    std::vector<double> moments;
    std::vector<double> terms;
};

// Gives the double rows first .. first+count-1 of a plane: 8-bit rows are
// converted into the scratch rows, double rows are used where they are.
void BindRows(const Plane& plane, std::size_t first, std::size_t count, std::vector<double>& scratch,
              const double** rows) {
    const std::size_t width = plane.Width();
    scratch.resize(kInputRows * width);
    for (std::size_t r = 0; r < count; ++r) {
        const std::uint8_t* source = plane[first + r];
        double* target = scratch.data() + r * width;
        for (std::size_t j = 0; j < width; ++j) target[j] = source[j];
        rows[r] = target;
    }
}

void BindRows(const RealPlane& plane, std::size_t first, std::size_t count, std::vector<double>&,
              const double** rows) {
    for (std::size_t r = 0; r < count; ++r) rows[r] = plane.Row(first + r);
}

// Eight running sums in a fixed pattern keep the additions from waiting on
// one another, and give the same double on every processor.
double RowSum(const double* row, std::size_t count) {
    constexpr std::size_t kChains = 8;
    double chains[kChains] = {};
    std::size_t j = 0;
    for (; j + kChains <= count; j += kChains)
        for (std::size_t c = 0; c < kChains; ++c) chains[c] += row[j + c];
    for (std::size_t c = 0; j < count; ++j, ++c) chains[c] += row[j];
    double sum = 0.0;
    for (double chain : chains) sum += chain;
    return sum;
}

// Rows of a^2, b^2 and ab, three per input row, in the band's product buffer.
void FillProducts(const double* const* aRows, const double* const* bRows, std::size_t count, std::size_t width,
                  std::vector<double>& products) {
    products.resize(3 * kInputRows * width);
    for (std::size_t r = 0; r < count; ++r) {
        const double* a = aRows[r];
        const double* b = bRows[r];
        double* squareA = products.data() + r * width;
        double* squareB = squareA + kInputRows * width;
        double* product = squareB + kInputRows * width;
        for (std::size_t j = 0; j < width; ++j) {
            squareA[j] = a[j] * a[j];
            squareB[j] = b[j] * b[j];
            product[j] = a[j] * b[j];
        }
    }
}

double Mean(const std::vector<double>& rowSums, std::size_t windows) {
    double sum = 0.0;
    for (double rowSum : rowSums) sum += rowSum;
    return sum / static_cast<double>(windows);
}

template <typename Source>
WindowMeans Scan(const Source& a, const Source& b, WindowTerms terms, std::vector<double>* similarityMap) {
    const std::size_t width = a.Width();
    const std::size_t rows = a.Height() - (GaussianWindow::kSide - 1);
    const std::size_t columns = width - (GaussianWindow::kSide - 1);
    if (similarityMap != nullptr) {
        terms.similarity = true;
        similarityMap->resize(rows * columns);
    }
    std::vector<double> similaritySums(terms.similarity ? rows : 0);
    std::vector<double> contrastSums(terms.contrastStructure ? rows : 0);
    std::vector<double> luminanceSums(terms.luminance ? rows : 0);
    const double* taps = GaussianWindow::Taps().data();

    WorkerPool& pool = WorkerPool::Shared();
    std::vector<Scratch> scratch(pool.Participants());
    const auto parts = static_cast<unsigned>((rows + kBandRows - 1) / kBandRows);
    pool.Run(parts, [&](unsigned part, unsigned participant) {
        Scratch& own = scratch[participant];
        own.moments.resize(kMomentCount * width);
        own.terms.resize(3 * columns);
        const std::size_t first = part * kBandRows;
        const std::size_t last = std::min(rows, first + kBandRows);
        const std::size_t inputCount = last - first + GaussianWindow::kSide - 1;
        const double* aRows[kInputRows];
        const double* bRows[kInputRows];
        BindRows(a, first, inputCount, own.inputA, aRows);
        BindRows(b, first, inputCount, own.inputB, bRows);
        FillProducts(aRows, bRows, inputCount, width, own.products);
        for (std::size_t row = first; row < last; ++row) {
            const std::size_t top = row - first;
            const double* windowRows[kMomentCount * GaussianWindow::kSide];
            for (std::size_t k = 0; k < GaussianWindow::kSide; ++k) {
                windowRows[k] = aRows[top + k];
                windowRows[GaussianWindow::kSide + k] = bRows[top + k];
                for (std::size_t m = 0; m < 3; ++m) {
                    windowRows[(m + 2) * GaussianWindow::kSide + k] =
                        own.products.data() + (m * kInputRows + top + k) * width;
                }
            }
            TermRows out{own.terms.data(), own.terms.data() + columns, own.terms.data() + 2 * columns};
            if (similarityMap != nullptr) out.similarity = similarityMap->data() + row * columns;
            ColumnMoments(windowRows, taps, width, own.moments.data(), width);
            WindowTermsRow(own.moments.data(), width, taps, columns, terms, out);
            if (terms.similarity) similaritySums[row] = RowSum(out.similarity, columns);
            if (terms.contrastStructure) contrastSums[row] = RowSum(out.contrastStructure, columns);
            if (terms.luminance) luminanceSums[row] = RowSum(out.luminance, columns);
        }
    });

    const std::size_t windows = rows * columns;
    WindowMeans means;
    if (terms.similarity) means.similarity = Mean(similaritySums, windows);
    if (terms.contrastStructure) means.contrastStructure = Mean(contrastSums, windows);
    if (terms.luminance) means.luminance = Mean(luminanceSums, windows);
    return means;
}

}  // namespace

WindowMeans ScanWindows(const Plane& a, const Plane& b, WindowTerms terms, std::vector<double>* similarityMap) {
    return Scan(a, b, terms, similarityMap);
}

WindowMeans ScanWindows(const RealPlane& a, const RealPlane& b, WindowTerms terms) {
    return Scan(a, b, terms, nullptr);
}

}  // namespace pictora
