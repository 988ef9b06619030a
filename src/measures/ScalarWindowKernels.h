#pragma once

#include <cstddef>

#include "measures/WindowTerms.h"

namespace pictora {

// The window arithmetic one column at a time. The vector kernels do exactly
// these operations in exactly this order on several columns at once, so both
// give the same doubles; the vector code calls these for the columns left
// over after its last full vector.

// For columns begin .. end-1: moments[m * stride + j] = sum over k = 0 .. 10,
// in that order, of taps[k] * (moment m of aRows[k][j], bRows[k][j]).
void ScalarColumnMoments(const double* const* aRows, const double* const* bRows, const double* taps,
                         std::size_t begin, std::size_t end, double* moments, std::size_t stride);

// For windows begin .. end-1 of a row: filters the column moments j .. j+10
// along the row with the taps and turns the five weighted moments into the
// terms asked for.
void ScalarWindowTerms(const double* moments, std::size_t stride, const double* taps, std::size_t begin,
                       std::size_t end, WindowTerms terms, const TermRows& out);

}  // namespace pictora
