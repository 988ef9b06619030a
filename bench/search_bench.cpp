// Times training steps with the plain ordered scan and with the indexed vector
// search on the same photos, in one run, checks that both give the same
// results bit for bit, and prints one table row per photo and block size.
//
//   search_bench [--case SIDE:R]... [--steps S] [--repeat N] [PHOTO.png]...
//
// Each row gives two times per search: the quantizer's work alone (the three
// RGB channels trained and coded, which is all the search changes) and whole
// training jobs (which add the colour conversion, the quality measure, the
// display images and the allocations of a new run, the same for both).
//
// Without photos it takes the two 500 x 500 photos of the repository and, when
// the libjxl-testdata package is installed, its 2268 x 1512 flower photo.
// Without --case it runs 8 x 8 blocks with R 0.1 (the defaults) and 4 x 4
// blocks with R 0.05. Steps default to two on photos up to a megapixel and
// one on larger ones; every channel trains with ALFA 0.1. With --repeat N
// each time is the least of N runs from scratch.
#include <hwy/targets.h>

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "pipeline/ImageCompressor.h"

namespace {

using pictora::ImageCompressor;
using pictora::KohonenNetwork;

struct Case {
    std::uint32_t side;
    double radius;
};

struct Options {
    std::vector<Case> cases;
    std::uint32_t steps = 0;  // 0: by photo size
    std::uint32_t repeat = 1;
    std::vector<std::string> photos;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool takesValue = argument == "--case" || argument == "--steps" || argument == "--repeat";
        if (takesValue && i + 1 >= argc) return false;
        if (argument == "--case") {
            Case entry{};
            if (std::sscanf(argv[++i], "%u:%lf", &entry.side, &entry.radius) != 2 || entry.side < 2 || entry.side > 12)
                return false;
            options.cases.push_back(entry);
        } else if (argument == "--steps") {
            options.steps = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (argument == "--repeat") {
            options.repeat = std::max(1u, static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10)));
        } else if (!argument.empty() && argument[0] == '-') {
            return false;
        } else {
            options.photos.push_back(argument);
        }
    }
    if (options.cases.empty()) options.cases = {{8, 0.1}, {4, 0.05}};
    if (options.photos.empty()) {
        options.photos = {std::string(PICTORA_SOURCE_DIR) + "/tests/data/photo500-tiger.png",
                          std::string(PICTORA_SOURCE_DIR) + "/samples/tulips.png"};
        const std::string flower = "/usr/share/libjxl-testdata/jxl/flower/flower.png";
        if (std::filesystem::exists(flower)) options.photos.push_back(flower);
        else std::printf("(no 2268 x 1512 photo: install libjxl-testdata or name one on the command line)\n");
    }
    return true;
}

std::string ProcessorName() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    for (std::string line; std::getline(cpuinfo, line);) {
        if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
    }
    return "unknown processor";
}

const char* VectorTarget() {
    const std::int64_t usable = hwy::SupportedTargets() & HWY_TARGETS;
    return hwy::TargetName(usable & -usable);  // the lowest bit is the best target
}

pictora::TrainingJob Job(const Case& entry, bool restart) {
    pictora::TrainingJob job;
    for (pictora::ChannelJob& channel : job.channels) {
        channel.radius = entry.radius;
        channel.alfa = 0.1;
        channel.passes = 1;
        channel.dimension = entry.side * entry.side;
    }
    job.restart = restart;
    job.colorSpace = pictora::ColorSpace::Rgb;
    return job;
}

bool SameChannel(const KohonenNetwork& a, const KohonenNetwork& b) {
    if (a.NeuronCount() != b.NeuronCount() || a.PrunedCount() != b.PrunedCount() || a.Codes() != b.Codes() ||
        a.CodedBytes() != b.CodedBytes())
        return false;
    for (std::uint32_t i = 0; i < a.NeuronCount(); ++i) {
        const pictora::Neuron& x = a.Neurons().At(i);
        const pictora::Neuron& y = b.Neurons().At(i);
        if (std::memcmp(x.weights.data(), y.weights.data(), x.weights.size() * sizeof(double)) != 0 ||
            x.wins != y.wins || x.trainings != y.trainings || x.originX != y.originX || x.originY != y.originY)
            return false;
    }
    return true;
}

bool SameResults(const ImageCompressor& a, const ImageCompressor& b) {
    for (int c = 0; c < 3; ++c)
        if (!SameChannel(a.Channel(c), b.Channel(c))) return false;
    const pictora::RgbQuality& qa = a.Quality();
    const pictora::RgbQuality& qb = b.Quality();
    for (std::size_t k = 0; k < 3; ++k)
        if (std::bit_cast<std::uint64_t>(qa.psnr[k]) != std::bit_cast<std::uint64_t>(qb.psnr[k])) return false;
    if (std::bit_cast<std::uint64_t>(qa.psnrMean) != std::bit_cast<std::uint64_t>(qb.psnrMean)) return false;
    std::vector<std::uint8_t> codedA;
    std::vector<std::uint8_t> codedB;
    return a.EncodeCodedImage(codedA) && b.EncodeCodedImage(codedB) && codedA == codedB;
}

template <typename Work>
double Timed(Work work) {
    const auto start = std::chrono::steady_clock::now();
    if (!work()) {
        std::fprintf(stderr, "search_bench: a training step failed\n");
        std::exit(1);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The quantizer's share of a step: the three RGB channels trained and coded
// as the job does it (TrainStep), without the work around it.
struct Channels {
    std::array<KohonenNetwork, 3> networks;
    Channels(const ImageCompressor& image, std::uint32_t side, bool reference) {
        const pictora::RgbImage& rgb = *image.SourceImage().rgb;
        const pictora::Plane* planes[3] = {&rgb.red, &rgb.green, &rgb.blue};
        for (int c = 0; c < 3; ++c) {
            networks[c].Configure(planes[c]->Height(), planes[c]->Width(), planes[c]);
            networks[c].Reset(side * side);
            networks[c].SetReferenceSearch(reference);
        }
    }
    bool Step(double radius) {
        for (KohonenNetwork& network : networks)
            if (!network.TrainStep(radius, 0.1, 1, pictora::PlaneScale::Full)) return false;
        return true;
    }
};

struct Measure {
    double quantizerPlain = 0.0;
    double quantizerFast = 0.0;
    double wholePlain = 0.0;
    double wholeFast = 0.0;
    std::array<int, 3> neurons{};
    bool same = true;
};

Measure RunOnce(const std::string& photo, const ImageCompressor& image, const Case& entry, std::uint32_t steps) {
    Measure measure;
    {
        Channels plain(image, entry.side, true);
        Channels fast(image, entry.side, false);
        for (std::uint32_t step = 0; step < steps; ++step) {
            measure.quantizerPlain += Timed([&] { return plain.Step(entry.radius); });
            measure.quantizerFast += Timed([&] { return fast.Step(entry.radius); });
            for (int c = 0; c < 3; ++c) {
                measure.same = measure.same && SameChannel(plain.networks[c], fast.networks[c]);
            }
        }
    }
    ImageCompressor plain;
    ImageCompressor fast;
    plain.SetReferenceSearch(true);
    if (!plain.LoadImage(photo) || !fast.LoadImage(photo)) std::exit(1);
    for (std::uint32_t step = 0; step < steps; ++step) {
        const pictora::TrainingJob job = Job(entry, step == 0);
        measure.wholePlain += Timed([&] { return bool(plain.TrainAndCode(job)); });
        measure.wholeFast += Timed([&] { return bool(fast.TrainAndCode(job)); });
        measure.same = measure.same && SameResults(plain, fast);
    }
    for (int c = 0; c < 3; ++c) measure.neurons[c] = fast.GetNeuronCount(c);
    return measure;
}

void RunCase(const std::string& photo, const Case& entry, const Options& options) {
    ImageCompressor image;
    if (!image.LoadImage(photo)) {
        std::printf("| %s | cannot be read |\n", photo.c_str());
        return;
    }
    const int pixels = image.GetImageWidth() * image.GetImageHeight();
    const std::uint32_t steps = options.steps != 0 ? options.steps : pixels <= 1000000 ? 2 : 1;
    Measure best = RunOnce(photo, image, entry, steps);
    for (std::uint32_t run = 1; run < options.repeat && best.same; ++run) {
        const Measure again = RunOnce(photo, image, entry, steps);
        best.quantizerPlain = std::min(best.quantizerPlain, again.quantizerPlain);
        best.quantizerFast = std::min(best.quantizerFast, again.quantizerFast);
        best.wholePlain = std::min(best.wholePlain, again.wholePlain);
        best.wholeFast = std::min(best.wholeFast, again.wholeFast);
        best.same = again.same;
    }
    std::printf("| %s | %d × %d | %u × %u | %.2f | %u | %d / %d / %d | %.3f | %.3f | **%.1f** | %.3f | %.3f "
                "| **%.1f** | %s |\n",
                std::filesystem::path(photo).filename().c_str(), image.GetImageWidth(), image.GetImageHeight(),
                entry.side, entry.side, entry.radius, steps, best.neurons[0], best.neurons[1], best.neurons[2],
                best.quantizerPlain, best.quantizerFast, best.quantizerPlain / best.quantizerFast, best.wholePlain,
                best.wholeFast, best.wholePlain / best.wholeFast, best.same ? "yes" : "NO");
    std::fflush(stdout);
    if (!best.same) std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: search_bench [--case SIDE:R]... [--steps S] [--repeat N] [PHOTO.png]...\n");
        return 2;
    }
    std::printf("%s, %u hardware threads, vector code %s\n\n", ProcessorName().c_str(),
                std::thread::hardware_concurrency(), VectorTarget());
    std::printf("| photo | size | block | R | steps | K per channel (R / G / B) | training and coding: plain (s) "
                "| fast (s) | ratio | whole steps: plain (s) | fast (s) | ratio | identical |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (const std::string& photo : options.photos)
        for (const Case& entry : options.cases) RunCase(photo, entry, options);
    return 0;
}
