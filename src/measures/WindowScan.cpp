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

double RowSum(const double* row, std::size_t count) {
    double sum = 0.0;
    for (std::size_t j = 0; j < count; ++j) sum += row[j];
    return sum;
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
        for (std::size_t row = first; row < last; ++row) {
            TermRows out{own.terms.data(), own.terms.data() + columns, own.terms.data() + 2 * columns};
            if (similarityMap != nullptr) out.similarity = similarityMap->data() + row * columns;
            ColumnMoments(aRows + (row - first), bRows + (row - first), taps, width, own.moments.data(), width);
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
