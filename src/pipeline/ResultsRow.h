#pragma once

#include <array>
#include <string>

namespace pictora {

class ImageCompressor;

// Which completion a results row reports: a training step (message 1125), or
// a decoded file or applied codebook (message 1126).
enum class ResultKind { TrainingStep, FileLoaded };

inline constexpr int kResultsColumnCount = 15;
using ResultsRow = std::array<std::string, kResultsColumnCount>;

// The captions of the fifteen columns of the results list.
const std::array<const char*, kResultsColumnCount>& ResultsColumnCaptions();

// The texts of one row of the results list. `rowNumber` is shown for a
// training step; a loaded file shows "---", neuron counts with the pruned
// counts in brackets, and leaves the two lossless-stage columns empty.
ResultsRow FormatResultsRow(const ImageCompressor& compressor, ResultKind kind, int rowNumber,
                            double entropyRatio);

// The same figures as one CSV line (rates as fractions, reals with %.17g),
// under the header ResultsCsvHeader(). `step` is 0 for a loaded file.
std::string ResultsCsvHeader();
std::string FormatResultsCsvLine(const ImageCompressor& compressor, int step, double entropyRatio);

}  // namespace pictora
