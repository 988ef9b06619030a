#include "pipeline/ResultsRow.h"

#include <cstdio>

#include "pipeline/ImageCompressor.h"

namespace pictora {
namespace {

template <typename... Args>
std::string Format(const char* format, Args... args) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

std::string Percent(double fraction) { return Format("%.2f%%", fraction * 100); }

}  // namespace

const std::array<const char*, kResultsColumnCount>& ResultsColumnCaptions() {
    static const std::array<const char*, kResultsColumnCount> captions = {
        "Passo", "N. Neurônios", "R/Y", "G/Cb", "B/Cr", "pSNR (dB)", "R", "G",
        "B", "T. Compressão", "R/Y", "G/Cb", "B/Cr", "T. S. P.", "T. Total"};
    return captions;
}

ResultsRow FormatResultsRow(const ImageCompressor& compressor, ResultKind kind, int rowNumber,
                            double entropyRatio) {
    const bool training = kind == ResultKind::TrainingStep;
    ResultsRow row;
    row[0] = training ? Format("%i", rowNumber) : "---";
    for (int channel = -1; channel < 3; ++channel) {
        std::string& cell = row[static_cast<std::size_t>(channel + 2)];
        cell = training ? Format("%i", compressor.GetNeuronCount(channel))
                        : Format("%i (%i)", compressor.GetNeuronCount(channel), compressor.GetPrunedCount(channel));
    }
    row[5] = Format("%.2f", compressor.GetPsnr(6));
    for (int k = 0; k < 3; ++k) row[static_cast<std::size_t>(6 + k)] = Format("%.2f", compressor.GetPsnr(k));
    for (int channel = -1; channel < 3; ++channel)
        row[static_cast<std::size_t>(channel + 10)] = Percent(compressor.GetCompressionRate(channel));
    if (training) {
        row[13] = Percent(entropyRatio);
        row[14] = Percent(compressor.GetCompressionRate(-1) * entropyRatio);
    }
    return row;
}

std::string ResultsCsvHeader() {
    return "step,neurons,neurons_0,neurons_1,neurons_2,psnr,psnr_r,psnr_g,psnr_b,rate,rate_0,rate_1,rate_2,"
           "lossless_rate,total_rate,coded_bytes";
}

std::string FormatResultsCsvLine(const ImageCompressor& compressor, int step, double entropyRatio) {
    std::string line = Format("%i", step);
    for (int channel = -1; channel < 3; ++channel) line += Format(",%i", compressor.GetNeuronCount(channel));
    line += Format(",%.17g", compressor.GetPsnr(6));
    for (int k = 0; k < 3; ++k) line += Format(",%.17g", compressor.GetPsnr(k));
    for (int channel = -1; channel < 3; ++channel) line += Format(",%.17g", compressor.GetCompressionRate(channel));
    line += Format(",%.17g", entropyRatio);
    line += Format(",%.17g", compressor.GetCompressionRate(-1) * entropyRatio);
    line += Format(",%u", compressor.CodedBytes());
    return line;
}

}  // namespace pictora
