#pragma once

#include <array>
#include <string>

#include "pipeline/StepResult.h"

namespace pictora {

// The fifteen columns of the step's figures, then bits per pixel, SSIM and
// MS-SSIM.
inline constexpr int kResultsColumnCount = 18;
using ResultsRow = std::array<std::string, kResultsColumnCount>;

// The captions of the columns of the results list.
const std::array<const char*, kResultsColumnCount>& ResultsColumnCaptions();

// The texts of one row of the results list, the same in every locale. A
// training step shows its number; a file read shows "---", neuron counts with
// the pruned counts in brackets. The two lossless-stage columns are empty
// when no lossless stage was measured (always for a file read), as their
// CSV fields are. A measure that is not defined reads "—".
ResultsRow FormatResultsRow(const StepResult& result);

// The same figures as one CSV line (rates as fractions, reals with %.17g,
// undefined measures empty), under the header ResultsCsvHeader(); the step is
// 0 for a file read.
std::string ResultsCsvHeader();
std::string FormatResultsCsvLine(const StepResult& result);

}  // namespace pictora
