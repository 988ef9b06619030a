#include "measures/WindowScan.h"

#include <algorithm>
#include <cstddef>

#include "measures/GaussianWindow.h"
#include "measures/WindowKernels.h"
#include "support/WorkerPool.h"

namespace pictora {

namespace {

constexpr std::size_t kSide = GaussianWindow::kSide;
// Rows of windows per part: enough to keep the parts' overhead (the 10 extra
// rows each band prepares) small, few enough to share a plane out evenly.
constexpr std::size_t kBandRows = 64;
constexpr std::size_t kInputRows = kBandRows + kSide - 1;
// Windows per strip of a band. Each row of windows reads 11 rows of five
// moments; cut to strips of this width they stay in the core's own cache.
constexpr std::size_t kStripWindows = 256;
constexpr std::size_t kStripWidth = kStripWindows + kSide - 1;
constexpr std::size_t kTermCount = 3;

// One thread's working rows, kept for the thread's next scans: fresh memory
// for every scale and plane would cost more in page faults than the rows of
// the coarser scales cost to filter.
struct Scratch {
    std::vector<double> samples;  // a, b, a^2, b^2, ab of one strip's input rows
    std::vector<double> moments;  // the column-filtered moments of one row of a strip
    std::vector<double> terms;    // one row of a strip's windows, each term
};

const std::uint8_t* RowOf(const Plane& plane, std::size_t row) { return plane[row]; }
const double* RowOf(const RealPlane& plane, std::size_t row) { return plane.Row(row); }

double* SampleRow(Scratch& scratch, std::size_t moment, std::size_t row) {
    return scratch.samples.data() + (moment * kInputRows + row) * kStripWidth;
}

// Fills the strip's sample rows: columns left .. left+width-1 of plane rows
// top .. top+count-1 as doubles, and their products.
template <typename Source>
void FillStrip(const Source& a, const Source& b, std::size_t top, std::size_t count, std::size_t left,
               std::size_t width, Scratch& scratch) {
    for (std::size_t r = 0; r < count; ++r) {
        FillSamples(RowOf(a, top + r) + left, RowOf(b, top + r) + left, width, SampleRow(scratch, 0, r),
                    kInputRows * kStripWidth);
    }
}

// Eight running sums in a fixed pattern keep the additions from waiting on
// one another, and give the same double on every processor. A row's sum is
// that of its strips, left to right.
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

double Mean(const std::vector<double>& rowSums, std::size_t windows) {
    double sum = 0.0;
    for (double rowSum : rowSums) sum += rowSum;
    return sum / static_cast<double>(windows);
}

template <typename Source>
WindowMeans Scan(const Source& a, const Source& b, WindowTerms terms, std::vector<double>* similarityMap) {
    const std::size_t rows = a.Height() - (kSide - 1);
    const std::size_t columns = a.Width() - (kSide - 1);
    if (similarityMap != nullptr) {
        terms.similarity = true;
        similarityMap->resize(rows * columns);
    }
    const bool wanted[kTermCount] = {terms.similarity, terms.contrastStructure, terms.luminance};
    std::vector<double> rowSums[kTermCount];
    for (std::size_t t = 0; t < kTermCount; ++t) rowSums[t].resize(wanted[t] ? rows : 0);
    const double* taps = GaussianWindow::Taps().data();

    const auto parts = static_cast<unsigned>((rows + kBandRows - 1) / kBandRows);
    WorkerPool::Shared().Run(parts, [&](unsigned part, unsigned) {
        thread_local Scratch own;
        own.samples.resize(kMomentCount * kInputRows * kStripWidth);
        own.moments.resize(kMomentCount * kStripWidth);
        own.terms.resize(kTermCount * kStripWindows);
        const std::size_t first = part * kBandRows;
        const std::size_t last = std::min(rows, first + kBandRows);
        for (std::size_t left = 0; left < columns; left += kStripWindows) {
            const std::size_t windows = std::min(kStripWindows, columns - left);
            const std::size_t width = windows + kSide - 1;
            FillStrip(a, b, first, last - first + kSide - 1, left, width, own);
            for (std::size_t row = first; row < last; ++row) {
                const SampleRows window{SampleRow(own, 0, row - first), kStripWidth, kInputRows * kStripWidth};
                ColumnMoments(window, taps, width, own.moments.data(), kStripWidth);
                TermRows out{own.terms.data(), own.terms.data() + kStripWindows, own.terms.data() + 2 * kStripWindows};
                if (similarityMap != nullptr) out.similarity = similarityMap->data() + row * columns + left;
                WindowTermsRow(own.moments.data(), kStripWidth, taps, windows, terms, out);
                const double* termRows[kTermCount] = {out.similarity, out.contrastStructure, out.luminance};
                for (std::size_t t = 0; t < kTermCount; ++t)
                    if (wanted[t]) rowSums[t][row] += RowSum(termRows[t], windows);
            }
        }
    });

    const std::size_t windows = rows * columns;
    WindowMeans means;
    if (terms.similarity) means.similarity = Mean(rowSums[0], windows);
    if (terms.contrastStructure) means.contrastStructure = Mean(rowSums[1], windows);
    if (terms.luminance) means.luminance = Mean(rowSums[2], windows);
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
