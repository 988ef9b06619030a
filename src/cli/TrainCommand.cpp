// pictora-cli train: runs training steps the way the form does and prints a
// results row after each one.
#include "cli/TrainCommand.h"

#include <array>
#include <memory>
#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

#include "cli/Commands.h"
#include "cli/CsvResults.h"
#include "cli/OutputFiles.h"
#include "cli/ResultsTable.h"
#include "pipeline/ImageCompressor.h"
#include "pipeline/TrainingRun.h"
#include "report/ResultsRow.h"
#include "support/FileIO.h"

namespace pictora::cli {
namespace {

// Where each channel's pass is, on one rewritten terminal line: the channels
// train at once.
void ShowProgress(ImageCompressor& compressor, const int& step) {
    struct Place {
        const char* phase = "waiting";
        std::uint32_t done = 0;
        std::uint32_t rows = 0;
    };
    struct Line {
        int step = 0;
        std::array<Place, 3> places;
    };
    auto line = std::make_shared<Line>();
    compressor.SetProgress([&step, line](int channel, const char* phase, std::uint32_t done, std::uint32_t rows) {
        if (line->step != step) *line = Line{step, {}};
        line->places[channel] = Place{phase, done, rows};
        std::fprintf(stderr, "\rstep %d", step);
        for (int c = 0; c < 3; ++c) {
            const Place& place = line->places[c];
            std::fprintf(stderr, ", channel %d %s %u/%u", c, place.phase, place.done, place.rows);
        }
        std::fputs("   ", stderr);
        std::fflush(stderr);
    });
}

void ClearProgressLine() { std::fputs("\r\033[K", stderr); }

}  // namespace

int RunTrain(const CLI::App& command, const TrainOptions& options) {
    std::string error;
    if (!CheckOutputKinds(options.outputs, error)) return ReportUsageError(command, error);
    std::vector<std::string> outputs = options.outputs;
    outputs.push_back(options.resultsPath);
    if (int refused = CheckOutputPaths(command, outputs, {options.imagePath}); refused != kExitOk) return refused;
    // Every row is made with the run's method settings: they choose the columns.
    const ResultsCsvLayout layout = ResultsCsvLayoutFor(options.method);
    // Checking the results file leaves an earlier one as it is, until the
    // first step has given a row to replace it with.
    CsvResults csv;
    if (Status opened = csv.Open(options.resultsPath, ResultsCsvHeader(layout)); !opened)
        return ReportBadFile(opened.message());

    ImageCompressor compressor;
    compressor.SetReferenceSearch(options.referenceSearch);
    std::vector<std::uint8_t> png;
    if (Status read = ReadWholeFile(options.imagePath, png); !read) return ReportBadFile(read.message());

    int step = 1;
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    if (terminal) ShowProgress(compressor, step);

    ResultsTable table(stdout);
    TrainingRun run(compressor);
    run.Begin(options.steps);
    const RunSettings settings{JobTemplate(options), options.losslessMode, options.measures};
    // The first job also loads the image (training while it is decoded).
    do {
        Status trained = step == 1 ? run.LoadAndStep(png, options.imagePath, settings) : run.Step(settings);
        if (terminal) ClearProgressLine();
        if (!compressor.IsImageLoaded()) return ReportBadFile(trained.message());
        if (!trained) return ReportBadFile(trained.Prefixed(options.imagePath).message());
        if (step == 1) {
            png = {};
            table.PrintHeader();
        }
        if (!run.LosslessStatus()) return ReportBadFile(run.LosslessStatus().message());
        const StepResult& result = run.History().back();
        table.PrintRow(FormatResultsRow(result));
        if (Status added = csv.Add(FormatResultsCsvLine(result, layout)); !added) return ReportBadFile(added.message());
        ++step;
    } while (run.HasStepsLeft());

    if (Status written = WriteOutputs(compressor, options.outputs); !written) return ReportBadFile(written.message());
    return kExitOk;
}

}  // namespace pictora::cli
