// Times the levers of the coding method against the work they add to, in the
// same run: coding by least error against coding by similarity (the same
// trained codebook, the two codings taken in turn), one refinement iteration
// against the training step it refines, and rate-aware pruning at lambda 3
// after that iteration, against the same step.
//
//   method_bench [--case SIDE:R]... [--repeat N] [PHOTO.png]
//
// Without a photo it takes the 2268 x 1512 flower photo of the
// libjxl-testdata package, or else the 500 x 500 tiger of the repository.
// Without --case it runs 4 x 4 blocks with R 0.05 and 8 x 8 with R 0.1. The
// three RGB channels are taken one after another, each coding spread over
// the cores as in a step. Each figure is the median of N runs (default 5) and
// each ratio the median of the N runs' ratios.
#include <hwy/targets.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "pipeline/ImageCompressor.h"
#include "support/NumberText.h"

namespace {

using pictora::KohonenNetwork;

constexpr double kLambda = 3.0;

struct Case {
    std::uint32_t side;
    double radius;
};

struct Options {
    std::vector<Case> cases;
    std::uint32_t repeat = 5;
    std::string photo;
};

bool ParseCount(const std::string& text, std::uint32_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool ParseCase(const std::string& text, Case& entry) {
    const auto colon = text.find(':');
    std::uint32_t side = 0;
    double radius = 0.0;
    if (colon == std::string::npos || !ParseCount(text.substr(0, colon), side) ||
        !pictora::ParseReal(text.substr(colon + 1), radius) || side < 2 || side > 12)
        return false;
    entry = {side, radius};
    return true;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if ((argument == "--case" || argument == "--repeat") && i + 1 >= argc) return false;
        if (argument == "--case") {
            Case entry{};
            if (!ParseCase(argv[++i], entry)) return false;
            options.cases.push_back(entry);
        } else if (argument == "--repeat") {
            if (!ParseCount(argv[++i], options.repeat) || options.repeat == 0) return false;
        } else if (!argument.empty() && argument[0] == '-') {
            return false;
        } else {
            options.photo = argument;
        }
    }
    if (options.cases.empty()) options.cases = {{4, 0.05}, {8, 0.1}};
    if (options.photo.empty()) {
        const std::string flower = "/usr/share/libjxl-testdata/jxl/flower/flower.png";
        options.photo = std::filesystem::exists(flower) ? flower
                                                        : std::string(PICTORA_SOURCE_DIR) + "/tests/data/photo500-tiger.png";
    }
    return true;
}

template <typename Work>
double Timed(Work work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// One run over the three channels: the sums of each phase's times.
struct Run {
    double training = 0.0;
    double bySimilarity = 0.0;
    double byError = 0.0;
    double refinement = 0.0;
    double pruning = 0.0;
    double errorBefore = 0.0;  // of the similarity coding, then after one iteration
    double errorAfter = 0.0;
    double errorByError = 0.0;
    std::array<std::uint32_t, 3> neurons{};
};

void Check(pictora::Status status) {
    if (!status) {
        std::fprintf(stderr, "method_bench: %s\n", status.message().c_str());
        std::exit(1);
    }
}

Run RunOnce(const pictora::RgbImage& image, const Case& entry, bool errorFirst) {
    const pictora::Plane* planes[3] = {&image.red, &image.green, &image.blue};
    Run run;
    for (int c = 0; c < 3; ++c) {
        KohonenNetwork trained;
        trained.Configure(planes[c]->Height(), planes[c]->Width(), planes[c]);
        trained.Reset(entry.side * entry.side);
        run.training += Timed([&] { Check(trained.TrainingPass(entry.radius, 0.1, 1)); });
        KohonenNetwork similarity = trained;
        KohonenNetwork error = trained;
        error.SetCodingMethod({pictora::CodeBy::Error, 0, 0.0});
        const auto bySimilarity = [&] { run.bySimilarity += Timed([&] { Check(similarity.Code()); }); };
        const auto byError = [&] { run.byError += Timed([&] { Check(error.Code()); }); };
        if (errorFirst) {
            byError();
            bySimilarity();
        } else {
            bySimilarity();
            byError();
        }
        run.neurons[c] = similarity.NeuronCount();
        run.errorBefore += static_cast<double>(similarity.CodingError());
        run.errorByError += static_cast<double>(error.CodingError());
        run.refinement += Timed([&] { similarity.Refine(1); });
        run.errorAfter += static_cast<double>(similarity.CodingError());
        run.pruning += Timed([&] { similarity.PruneForRate(kLambda); });
    }
    return run;
}

double PsnrOf(double error, double samples) {
    return 10.0 * std::log10(255.0 * 255.0 * samples / error);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: method_bench [--case SIDE:R]... [--repeat N] [PHOTO.png]\n");
        return 2;
    }
    pictora::ImageCompressor loader;
    if (pictora::Status loaded = loader.LoadImage(options.photo); !loaded) {
        std::fprintf(stderr, "method_bench: %s\n", loaded.message().c_str());
        return 1;
    }
    const pictora::RgbImage& image = *loader.SourceImage().rgb;
    const std::int64_t usable = hwy::SupportedTargets() & HWY_TARGETS;
    std::printf("%s, %d x %d, vector code %s, median of %u runs\n\n",
                std::filesystem::path(options.photo).filename().c_str(), image.width, image.height,
                hwy::TargetName(usable & -usable), options.repeat);
    std::printf("| block | R | K (R / G / B) | training (s) | coding by similarity (s) | by error (s) | ratio | "
                "one refinement (s) | over the step | pruning at lambda 3 (s) | over the step | pSNR of the blocks: "
                "similarity, error, refined once (dB) |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (const Case& entry : options.cases) {
        std::vector<double> training, similarity, error, refinement, pruning, codingRatio, refinementRatio, pruningRatio;
        Run last;
        for (std::uint32_t r = 0; r < options.repeat; ++r) {
            last = RunOnce(image, entry, r % 2 == 1);
            training.push_back(last.training);
            similarity.push_back(last.bySimilarity);
            error.push_back(last.byError);
            refinement.push_back(last.refinement);
            codingRatio.push_back(last.byError / last.bySimilarity);
            refinementRatio.push_back(last.refinement / (last.training + last.bySimilarity));
            pruning.push_back(last.pruning);
            pruningRatio.push_back(last.pruning / (last.training + last.bySimilarity));
        }
        const double samples = 3.0 * (image.height / entry.side * entry.side) * (image.width / entry.side * entry.side);
        std::printf("| %u × %u | %.2f | %u / %u / %u | %.3f | %.3f | %.3f | **%.2f** | %.3f | **%.2f** | %.3f | %.2f | "
                    "%.2f, %.2f, %.2f |\n",
                    entry.side, entry.side, entry.radius, last.neurons[0], last.neurons[1], last.neurons[2],
                    Median(training), Median(similarity), Median(error), Median(codingRatio), Median(refinement),
                    Median(refinementRatio), Median(pruning), Median(pruningRatio), PsnrOf(last.errorBefore, samples), PsnrOf(last.errorByError, samples),
                    PsnrOf(last.errorAfter, samples));
        std::fflush(stdout);
    }
    return 0;
}
