#pragma once

#include <array>
#include <span>
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

// Whether a results CSV carries the method settings: only when one of its
// rows was made with a lever on (MethodSettings not the defaults), so that a
// run with the defaults writes the file it always has. With them, every row
// ends in `code_by,refine,lambda,deblock` as the sweeps write them. A file
// written row by row takes the layout of the settings its rows are made
// with; one written whole, that of its rows.
enum class ResultsCsvLayout { Plain, WithMethod };
ResultsCsvLayout ResultsCsvLayoutFor(const MethodSettings& method);
ResultsCsvLayout ResultsCsvLayoutFor(std::span<const StepResult> results);

// The same figures as one CSV line (rates as fractions, reals with %.17g,
// undefined measures empty), under the header ResultsCsvHeader(); the step is
// 0 for a file read.
std::string ResultsCsvHeader(ResultsCsvLayout layout);
std::string FormatResultsCsvLine(const StepResult& result, ResultsCsvLayout layout);
// The whole file for `results`: the header and one line per result, in the
// layout of the results. What pictora-cli train --results writes for the
// same run.
std::string ResultsCsvText(std::span<const StepResult> results);

}  // namespace pictora
