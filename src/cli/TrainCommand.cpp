// pictora-cli train: runs training steps the way the form does and prints a
// results row after each one.
#include <algorithm>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "cli/Commands.h"
#include "cli/CsvResults.h"
#include "cli/OutputFiles.h"
#include "cli/ResultsTable.h"
#include "cli/TrainOptions.h"
#include "pipeline/ImageCompressor.h"
#include "pipeline/ResultFiles.h"

namespace pictora::cli {
namespace {

TrainingJob JobTemplate(const TrainOptions& options) {
    TrainingJob job;
    for (std::size_t c = 0; c < 3; ++c) {
        job.channels[c].radius = options.radius[c];
        job.channels[c].alfa = options.alfa[c];
        job.channels[c].dimension = options.blockSides[c] * options.blockSides[c];
    }
    job.filterIndex = options.filterIndex;
    job.colorSpace = options.colorSpace;
    return job;
}

// Block position of the pass in progress, on one rewritten terminal line.
void ShowProgress(ImageCompressor& compressor, const int& step) {
    compressor.SetProgress([&step](int channel, const char* phase, std::uint32_t done, std::uint32_t rows) {
        std::fprintf(stderr, "\rstep %d, channel %d, %s: row %u of %u   ", step, channel, phase, done, rows);
        std::fflush(stderr);
    });
}

void ClearProgressLine() { std::fputs("\r\033[K", stderr); }

// The lossless stage's share of the coded image: coded size after the stage
// over the size before it.
Status MeasureLosslessStage(const ImageCompressor& compressor, int entropyMode, double& ratio) {
    ratio = 0.0;
    if (entropyMode == 0) return Status::Ok();
    std::vector<std::uint8_t> packed;
    std::size_t codedSize = 0;
    if (Status encoded = EncodeLosslessImage(compressor, entropyMode, packed, codedSize); !encoded) return encoded;
    ratio = static_cast<double>(packed.size()) / static_cast<double>(codedSize);
    return Status::Ok();
}

bool AnyStepsLeft(const std::array<std::uint32_t, 3>& steps) {
    return std::any_of(steps.begin(), steps.end(), [](std::uint32_t s) { return s > 0; });
}

}  // namespace

int RunTrain(const std::vector<std::string>& arguments) {
    TrainOptions options;
    std::string error;
    if (!ParseTrainOptions(arguments, options, error) || !CheckOutputKinds(options.outputs, error))
        return ReportUsageError(error);

    ImageCompressor compressor;
    compressor.SetReferenceSearch(options.referenceSearch);
    if (Status loaded = compressor.LoadImage(options.imagePath); !loaded) return ReportBadFile(loaded.message());
    CsvResults csv;
    if (Status opened = csv.Open(options.resultsPath); !opened) return ReportBadFile(opened.message());

    int step = 1;
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    if (terminal) ShowProgress(compressor, step);

    ResultsTable table(stdout);
    table.PrintHeader();
    std::array<std::uint32_t, 3> stepsLeft = options.steps;
    TrainingJob job = JobTemplate(options);
    // Like the form: the first job restarts the run, every job gives one pass
    // to each channel with steps left, and a start always runs one job.
    do {
        job.restart = step == 1;
        for (std::size_t c = 0; c < 3; ++c) job.channels[c].passes = stepsLeft[c] > 0 ? 1 : 0;
        Status trained = compressor.TrainAndCode(job);
        if (terminal) ClearProgressLine();
        if (!trained) return ReportBadFile(options.imagePath + ": " + trained.message());
        for (std::uint32_t& left : stepsLeft)
            if (left > 0) --left;
        double entropyRatio = 0.0;
        if (Status measured = MeasureLosslessStage(compressor, options.entropyMode, entropyRatio); !measured)
            return ReportBadFile(measured.message());
        table.PrintRow(FormatResultsRow(compressor, ResultKind::TrainingStep, step, entropyRatio));
        csv.Add(FormatResultsCsvLine(compressor, step, entropyRatio));
        ++step;
    } while (AnyStepsLeft(stepsLeft));

    if (Status closed = csv.Close(); !closed) return ReportBadFile(closed.message());
    if (Status written = WriteOutputs(compressor, options.outputs); !written) return ReportBadFile(written.message());
    return kExitOk;
}

}  // namespace pictora::cli
