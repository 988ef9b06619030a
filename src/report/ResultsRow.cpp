#include "report/ResultsRow.h"

#include "pipeline/MethodSettingsText.h"
#include "support/NumberText.h"

namespace pictora {
namespace {

std::string Percent(double fraction) { return FormatC("%.2f%%", fraction * 100); }

const char* const kUndefined = "—";

std::string Measure(const std::optional<double>& value) { return value ? FormatC("%.4f", *value) : kUndefined; }

// A rate that was not measured stays empty, like its CSV field.
std::string MeasuredPercent(const std::optional<double>& fraction) { return fraction ? Percent(*fraction) : ""; }

std::string MethodCsvFields(const MethodSettings& method) {
    return FormatC(",%s,%u,%.17g,%u", CodeByName(method.coding.codeBy), method.coding.refine, method.coding.lambda,
                   DeblockLevel(method.deblock));
}

}  // namespace

const std::array<const char*, kResultsColumnCount>& ResultsColumnCaptions() {
    static const std::array<const char*, kResultsColumnCount> captions = {
        "Passo", "N. Neurônios", "R/Y", "G/Cb", "B/Cr", "pSNR (dB)", "R", "G",
        "B", "T. Compressão", "R/Y", "G/Cb", "B/Cr", "T. S. P.", "T. Total", "bpp", "SSIM", "MS-SSIM"};
    return captions;
}

ResultsRow FormatResultsRow(const StepResult& result) {
    const bool training = result.origin == StepOrigin::TrainingStep;
    auto neurons = [training](std::uint32_t count, std::uint32_t pruned) {
        return training ? FormatC("%u", count) : FormatC("%u (%u)", count, pruned);
    };
    ResultsRow row;
    row[0] = training ? FormatC("%i", result.step) : "---";
    row[1] = neurons(result.TotalNeurons(), result.TotalPruned());
    for (std::size_t c = 0; c < 3; ++c) row[2 + c] = neurons(result.channels[c].neurons, result.channels[c].pruned);
    row[5] = FormatC("%.2f", result.figures.quality.psnrMean);
    for (std::size_t k = 0; k < 3; ++k) row[6 + k] = FormatC("%.2f", result.figures.quality.psnr[k]);
    row[9] = Percent(result.compressionRate);
    for (std::size_t c = 0; c < 3; ++c) row[10 + c] = Percent(result.channels[c].compressionRate);
    row[13] = MeasuredPercent(result.LosslessRate());
    row[14] = MeasuredPercent(result.TotalRate());
    row[15] = FormatC("%.4f", result.figures.bpp);
    row[16] = Measure(result.figures.similarity.ssim);
    row[17] = Measure(result.figures.similarity.msSsim);
    return row;
}

ResultsCsvLayout ResultsCsvLayoutFor(const MethodSettings& method) {
    return method.IsDefault() ? ResultsCsvLayout::Plain : ResultsCsvLayout::WithMethod;
}

ResultsCsvLayout ResultsCsvLayoutFor(std::span<const StepResult> results) {
    for (const StepResult& result : results)
        if (ResultsCsvLayoutFor(result.method) == ResultsCsvLayout::WithMethod) return ResultsCsvLayout::WithMethod;
    return ResultsCsvLayout::Plain;
}

std::string ResultsCsvHeader(ResultsCsvLayout layout) {
    std::string header = "step,neurons,neurons_0,neurons_1,neurons_2,psnr,psnr_r,psnr_g,psnr_b,rate,rate_0,rate_1,rate_2,"
           "lossless_rate,total_rate,coded_bytes,bpp,bpp_lossless,ssim,ssim_r,ssim_g,ssim_b,msssim,msssim_r,msssim_g,"
           "msssim_b,codebook_bytes,index_bytes,header_bytes,butteraugli,butteraugli_3norm";
    if (layout == ResultsCsvLayout::WithMethod) header += ",code_by,refine,lambda,deblock";
    return header;
}

std::string FormatResultsCsvLine(const StepResult& result, ResultsCsvLayout layout) {
    std::string line = FormatC("%i,%u", result.step, result.TotalNeurons());
    for (const ChannelFigures& channel : result.channels) line += FormatC(",%u", channel.neurons);
    line += FormatC(",%.17g", result.figures.quality.psnrMean);
    for (double psnr : result.figures.quality.psnr) line += FormatC(",%.17g", psnr);
    line += FormatC(",%.17g", result.compressionRate);
    for (const ChannelFigures& channel : result.channels) line += FormatC(",%.17g", channel.compressionRate);
    line += CsvRealField(result.LosslessRate()) + CsvRealField(result.TotalRate()) + FormatC(",%u", result.codedBytes);
    line += FormatC(",%.17g", result.figures.bpp) + CsvRealField(result.LosslessBpp());
    const ImageSimilarity& similarity = result.figures.similarity;
    line += CsvRealField(similarity.ssim);
    for (const PlaneSimilarity& plane : similarity.planes) line += CsvRealField(plane.ssim);
    line += CsvRealField(similarity.msSsim);
    for (const PlaneSimilarity& plane : similarity.planes) line += CsvRealField(plane.msSsim);
    line += FormatC(",%llu,%llu,%llu", static_cast<unsigned long long>(result.rate.codebookBytes),
                    static_cast<unsigned long long>(result.rate.indexBytes),
                    static_cast<unsigned long long>(result.rate.headerBytes));
    line += ButteraugliCsvFields(result.figures.butteraugli);
    return layout == ResultsCsvLayout::WithMethod ? line + MethodCsvFields(result.method) : line;
}

std::string ResultsCsvText(std::span<const StepResult> results) {
    const ResultsCsvLayout layout = ResultsCsvLayoutFor(results);
    std::string text = ResultsCsvHeader(layout) + "\n";
    for (const StepResult& result : results) text += FormatResultsCsvLine(result, layout) + "\n";
    return text;
}

}  // namespace pictora
