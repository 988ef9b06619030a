#pragma once

#include <cstddef>
#include <cstdint>

#include "measures/WindowTerms.h"

namespace pictora {

// The window arithmetic of ScalarWindowKernels.h on as many columns at once as
// the processor's vectors hold; the instruction set is chosen at run time.
// Every column gets the same operations in the same order as in the scalar
// version, so the results are the same doubles.

void FillSamples(const std::uint8_t* a, const std::uint8_t* b, std::size_t width, double* out,
                 std::size_t momentStride);
void FillSamples(const double* a, const double* b, std::size_t width, double* out, std::size_t momentStride);

void ColumnMoments(const SampleRows& rows, const double* taps, std::size_t width, double* moments,
                   std::size_t stride);

void WindowTermsRow(const double* moments, std::size_t stride, const double* taps, std::size_t windows,
                    WindowTerms terms, const TermRows& out);

}  // namespace pictora
