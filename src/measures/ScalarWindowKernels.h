#pragma once

#include <cstddef>

#include "measures/WindowTerms.h"

namespace pictora {

// The window arithmetic one column at a time. The vector kernels do exactly
// these operations in exactly this order on several columns at once, so both
// give the same doubles; the vector code calls these for the columns left
// over after its last full vector.

// The taps are symmetric, so each filter adds the two samples a tap weighs
// before multiplying: taps[0] (x[0] + x[10]), then taps[1] (x[1] + x[9]) up to
// taps[4] (x[4] + x[6]) added in turn, and taps[5] x[5] last.

// For columns begin .. end-1 of one input row: the samples of a and b as
// doubles and their products, at out + m * momentStride + j for moment m.
void ScalarFillSamples(const std::uint8_t* a, const std::uint8_t* b, std::size_t begin, std::size_t end, double* out,
                       std::size_t momentStride);
void ScalarFillSamples(const double* a, const double* b, std::size_t begin, std::size_t end, double* out,
                       std::size_t momentStride);

// For columns begin .. end-1: moments[m * stride + j] = the filter down
// column j of moment m's 11 sample rows.
void ScalarColumnMoments(const SampleRows& rows, const double* taps, std::size_t begin, std::size_t end,
                         double* moments, std::size_t stride);

// For windows begin .. end-1 of a row: filters the column moments j .. j+10
// along the row and turns the five weighted moments into the terms asked for.
void ScalarWindowTerms(const double* moments, std::size_t stride, const double* taps, std::size_t begin,
                       std::size_t end, WindowTerms terms, const TermRows& out);

}  // namespace pictora
