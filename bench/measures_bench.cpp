// Times the structural-similarity measures of a photo against a distorted copy
// of it, and one default training step of the codec on the same photo, so the
// cost of measuring can be read against the cost of the step it follows.
//
//   measures_bench [--repeat N] [PHOTO.png]
//
// Without a photo it takes the 2268 x 1512 flower of the libjxl-testdata
// package when installed, else the repository's 500 x 500 tiger. Each time is
// the median of N runs (default 9) over the three RGB planes. On a machine
// shared with other work the wall-clock times jump about, so each measure is
// also run on one thread and timed by that thread's processor time: the work
// itself, which all cores then share.
#include <hwy/targets.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "image/PngImage.h"
#include "measures/ImageSimilarity.h"
#include "pipeline/ImageCompressor.h"
#include "support/WorkerPool.h"

namespace {

using pictora::Plane;
using pictora::SimilarityMeasures;

std::string Fixed(double value, int digits) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, digits).ptr;
    return std::string(text, end);
}

template <typename Work>
double Seconds(Work work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// A job started from inside a pool task runs all its parts on that thread.
template <typename Work>
double OneThreadSeconds(Work work) {
    double seconds = 0.0;
    pictora::WorkerPool::Shared().Run(1, [&](unsigned, unsigned) {
        const double start = ThreadSeconds();
        work();
        seconds = ThreadSeconds() - start;
    });
    return seconds;
}

template <typename Timer>
double Median(unsigned repeat, Timer timer) {
    std::vector<double> times;
    for (unsigned run = 0; run < repeat; ++run) times.push_back(timer());
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// A deterministic loss: a 3 x 1 horizontal blur, then 32 levels.
Plane Distorted(const Plane& plane) {
    Plane out(plane.Height(), plane.Width());
    for (std::uint32_t i = 0; i < plane.Height(); ++i) {
        for (std::uint32_t j = 0; j < plane.Width(); ++j) {
            const std::uint32_t left = plane[i][j == 0 ? j : j - 1];
            const std::uint32_t right = plane[i][j + 1 < plane.Width() ? j + 1 : j];
            const std::uint32_t mean = (left + 2u * plane[i][j] + right) / 4u;
            out[i][j] = static_cast<std::uint8_t>(mean - mean % 8u);
        }
    }
    return out;
}

// One default training step, as the form starts a new run: RGB, every channel
// one pass of 8 x 8 blocks with R 0.1 and ALFA 0.1.
bool TimeTrainingStep(const std::string& path, double& seconds) {
    pictora::ImageCompressor compressor;
    if (!compressor.LoadImage(path)) return false;
    pictora::TrainingJob job;
    for (pictora::ChannelJob& channel : job.channels) channel = {0.1, 0.1, 1, 64};
    job.restart = true;
    job.colorSpace = pictora::ColorSpace::Rgb;
    bool ok = true;
    seconds = Seconds([&] { ok = bool(compressor.TrainAndCode(job)); });
    return ok;
}

const char* VectorTarget() {
    const std::int64_t usable = hwy::SupportedTargets() & HWY_TARGETS;
    return hwy::TargetName(usable & -usable);  // the lowest bit is the best target
}

}  // namespace

int main(int argc, char** argv) {
    unsigned repeat = 9;
    std::string path;
    bool usable = true;
    for (int i = 1; i < argc && usable; ++i) {
        const std::string argument = argv[i];
        if (argument == "--repeat" && i + 1 < argc) {
            const std::string value = argv[++i];
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), repeat);
            usable = error == std::errc() && end == value.data() + value.size() && repeat > 0;
        } else {
            usable = !argument.empty() && argument[0] != '-' && path.empty();
            path = argument;
        }
    }
    if (!usable) {
        std::fprintf(stderr, "usage: measures_bench [--repeat N] [PHOTO.png]\n");
        return 2;
    }
    if (path.empty()) {
        const std::string flower = "/usr/share/libjxl-testdata/jxl/flower/flower.png";
        path = std::filesystem::exists(flower) ? flower : std::string(PICTORA_SOURCE_DIR) + "/tests/data/photo500-tiger.png";
    }
    pictora::RgbImage image;
    if (pictora::Status loaded = pictora::ReadPngFile(path, image); !loaded) {
        std::fprintf(stderr, "measures_bench: %s\n", loaded.message().c_str());
        return 1;
    }
    const std::array<Plane, 3> distorted = {Distorted(image.red), Distorted(image.green), Distorted(image.blue)};
    const pictora::RgbPlanes source = {&image.red, &image.green, &image.blue};
    const pictora::RgbPlanes changed = {&distorted[0], &distorted[1], &distorted[2]};

    std::printf("%s: %d x %d, %u hardware threads, vector code %s, median of %u\n",
                std::filesystem::path(path).filename().c_str(), image.width, image.height,
                std::thread::hardware_concurrency(), VectorTarget(), repeat);
    pictora::ImageSimilarity result;
    const struct {
        const char* name;
        SimilarityMeasures measures;
    } kinds[] = {{"SSIM", SimilarityMeasures::kSsim},
                 {"MS-SSIM", SimilarityMeasures::kMsSsim},
                 {"SSIM + MS-SSIM", SimilarityMeasures::kBoth}};
    double both = 0.0;
    std::printf("%-15s %12s %16s\n", "", "wall (ms)", "one thread (ms)");
    for (const auto& kind : kinds) {
        const auto work = [&] { result = MeasureImages(source, changed, kind.measures); };
        const double wall = Median(repeat, [&] { return Seconds(work); });
        const double alone = Median(repeat, [&] { return OneThreadSeconds(work); });
        std::printf("%-15s %12s %16s\n", kind.name, Fixed(wall * 1000.0, 1).c_str(), Fixed(alone * 1000.0, 1).c_str());
        both = wall;
    }
    std::printf("figures: SSIM %s, MS-SSIM %s\n", result.ssim ? Fixed(*result.ssim, 6).c_str() : "—",
                result.msSsim ? Fixed(*result.msSsim, 6).c_str() : "—");

    double step = 0.0;
    if (!TimeTrainingStep(path, step)) {
        std::fprintf(stderr, "measures_bench: the training step failed\n");
        return 1;
    }
    std::printf("training step   %s ms; measures / step = %s\n", Fixed(step * 1000.0, 1).c_str(),
                Fixed(both / step, 3).c_str());
    return 0;
}
