// Times what a user runs: whole `pictora-cli train` processes, started as
// children and reaped with wait4, so that their wall time, processor time
// and peak resident memory are the system's own accounting of the process,
// start-up, PNG decoding and file writing included. Prints one table:
//
//   process_bench [--repeat N] [--flower PHOTO.png] [--tiger PHOTO.png] [--only desktop]
//
// A search and the plain scan (`--reference-search`) run in turn, A B A B,
// and each ratio is the median of the ratios of the pairs, which keeps it
// meaningful while other work on the machine comes and goes. Both sides
// write their results CSV and coded image; a row whose files differ fails.
// After each default step on the 2268 x 1512 photo, `pictora-cli decode`
// writes the coded image it made as PNG, timed against that step.
// The desktop row is timed in this process: a training job and the display
// bitmaps the form builds from it.
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "display/DisplaySet.h"
#include "pipeline/ImageCompressor.h"
#include "support/NumberText.h"

namespace {

using pictora::FormatC;

struct Options {
    unsigned repeat = 3;
    std::string flower = "/usr/share/libjxl-testdata/jxl/flower/flower.png";
    std::string tiger = std::string(PICTORA_SOURCE_DIR) + "/tests/data/photo500-tiger.png";
    bool desktopOnly = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--repeat") {
            double repeat = 0;
            if (!pictora::ParseReal(value, repeat) || repeat < 1 || repeat > 100) return false;
            options.repeat = static_cast<unsigned>(repeat);
        } else if (name == "--flower") {
            options.flower = value;
        } else if (name == "--tiger") {
            options.tiger = value;
        } else if (name == "--only" && value == "desktop") {
            options.desktopOnly = true;
        } else {
            return false;
        }
    }
    return argc % 2 == 1;
}

// One finished child: wall and processor seconds, peak resident MiB.
struct Run {
    double wall = 0;
    double cpu = 0;
    double peakMiB = 0;
};

double Seconds(const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec * 1e-6; }

bool RunChild(const std::vector<std::string>& arguments, Run& run) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return false;
    run.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpu = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::vector<std::uint8_t> FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string LoadAverage() {
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

std::string ProcessorName() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    for (std::string line; std::getline(cpuinfo, line);)
        if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
    return "unknown processor";
}

// The medians of one command's runs, and of its pairs' ratios when it ran
// against the plain scan.
struct Figures {
    double wall = 0;
    double cpu = 0;
    double peakMiB = 0;
    double referenceWall = 0;
    double ratio = 0;
    double decodeWall = 0;   // decode X.mqc -o X.png, when asked for
    double decodeRatio = 0;  // its wall time over the step's
    bool identical = true;
    bool ok = true;
};

class Bench {
public:
    explicit Bench(const Options& options) : options_(options), scratch_(std::filesystem::temp_directory_path()) {}

    // `train PHOTO` with these settings; with `againstReference` each run is
    // paired with the same command under --reference-search.
    Figures Train(const std::string& photo, const std::vector<std::string>& settings, bool againstReference,
                  bool decodeToPng = false) {
        std::vector<double> wall, cpu, peak, referenceWall, ratios, decodeWall, decodeRatios;
        Figures figures;
        for (unsigned run = 0; run < options_.repeat && figures.ok; ++run) {
            Run fast;
            figures.ok = RunChild(Command(photo, settings, "fast", false), fast);
            wall.push_back(fast.wall);
            cpu.push_back(fast.cpu);
            peak.push_back(fast.peakMiB);
            if (decodeToPng && figures.ok) {
                Run decode;
                figures.ok = RunChild({PICTORA_CLI, "decode", Output("fast", ".mqc"), "-o", Output("fast", ".png")}, decode) &&
                             std::filesystem::file_size(Output("fast", ".png")) > 0;
                decodeWall.push_back(decode.wall);
                decodeRatios.push_back(decode.wall / fast.wall);
            }
            if (!againstReference || !figures.ok) continue;
            Run plain;
            figures.ok = RunChild(Command(photo, settings, "plain", true), plain);
            referenceWall.push_back(plain.wall);
            ratios.push_back(plain.wall / fast.wall);
            for (const char* kind : {".csv", ".mqc"})
                figures.identical = figures.identical && FileBytes(Output("fast", kind)) == FileBytes(Output("plain", kind));
        }
        figures.wall = Median(wall);
        figures.cpu = Median(cpu);
        figures.peakMiB = Median(peak);
        figures.referenceWall = Median(referenceWall);
        figures.ratio = Median(ratios);
        figures.decodeWall = Median(decodeWall);
        figures.decodeRatio = Median(decodeRatios);
        for (const char* side : {"fast", "plain"})
            for (const char* kind : {".csv", ".mqc", ".png"}) std::filesystem::remove(Output(side, kind));
        return figures;
    }

private:
    std::string Output(const char* side, const char* kind) const {
        return (scratch_ / ("pictora-process-bench-" + std::to_string(getpid()) + "-" + side + kind)).string();
    }

    std::vector<std::string> Command(const std::string& photo, const std::vector<std::string>& settings,
                                     const char* side, bool reference) const {
        std::vector<std::string> command = {PICTORA_CLI, "train", photo, "--measures", "psnr"};
        command.insert(command.end(), settings.begin(), settings.end());
        command.insert(command.end(), {"--results", Output(side, ".csv"), "-o", Output(side, ".mqc")});
        if (reference) command.push_back("--reference-search");
        return command;
    }

    Options options_;
    std::filesystem::path scratch_;
};

// A desktop step: the training job, then the mask and decoded bitmaps the
// form builds from it, as CPictoraView does once the worker is done. Medians
// of the whole, the job and the bitmaps.
struct DesktopTimes {
    double whole = 0;
    double job = 0;
    double bitmaps = 0;
};

DesktopTimes DesktopStep(const std::string& photo, unsigned repeat) {
    std::vector<double> times, jobs, bitmaps;
    for (unsigned run = 0; run < repeat; ++run) {
        pictora::ImageCompressor compressor;
        pictora::DisplaySet displays;
        if (!compressor.LoadImage(photo)) return {};
        compressor.DeriveSourcePlanes();
        displays.BuildSourceDisplays(compressor.SourceImage());
        pictora::TrainingJob job;
        for (pictora::ChannelJob& channel : job.channels) {
            channel.radius = 0.1;
            channel.alfa = 0.1;
            channel.passes = 1;
            channel.dimension = 64;
        }
        job.restart = true;
        job.colorSpace = pictora::ColorSpace::Rgb;
        const auto start = std::chrono::steady_clock::now();
        if (!compressor.TrainAndCode(job)) return {};
        const auto trained = std::chrono::steady_clock::now();
        displays.BuildMaskDisplays(compressor.SourceImage(), pictora::ColorSpace::Rgb, compressor.Channel(0).Mask(),
                                   compressor.Channel(1).Mask(), compressor.Channel(2).Mask());
        displays.BuildDecodedDisplays(compressor.ReconstructionRows(), compressor.ReconstructionColumns(),
                                      compressor.ReconstructedPlane(0), compressor.ReconstructedPlane(1),
                                      compressor.ReconstructedPlane(2));
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double>(end - start).count());
        jobs.push_back(std::chrono::duration<double>(trained - start).count());
        bitmaps.push_back(std::chrono::duration<double>(end - trained).count());
    }
    return {Median(times), Median(jobs), Median(bitmaps)};
}

std::uint64_t Pixels(const std::string& photo) {
    pictora::ImageCompressor compressor;
    if (!compressor.LoadImage(photo)) return 0;
    return static_cast<std::uint64_t>(compressor.GetImageHeight()) * compressor.GetImageWidth();
}

std::string Verdict(const Figures& figures) {
    if (!figures.ok) return "FAILED";
    return figures.identical ? "yes" : "NO";
}

std::string PerPixel(double peakMiB, std::uint64_t pixels) {
    return pixels == 0 ? "—" : FormatC("%.1f", peakMiB * 1024 * 1024 / static_cast<double>(pixels));
}

void PrintRatioRow(const char* workload, const Figures& figures, std::uint64_t pixels) {
    std::printf("| %s | %s s | %s s | **%s ×** | %s s | %s | %s | %s |\n", workload,
                FormatC("%.3f", figures.wall).c_str(), FormatC("%.2f", figures.referenceWall).c_str(),
                FormatC("%.1f", figures.ratio).c_str(), FormatC("%.3f", figures.cpu).c_str(),
                FormatC("%.1f MiB", figures.peakMiB).c_str(), PerPixel(figures.peakMiB, pixels).c_str(),
                Verdict(figures).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: process_bench [--repeat N] [--flower PHOTO.png] [--tiger PHOTO.png] [--only desktop]\n");
        return 2;
    }
    if (options.desktopOnly) {
        const DesktopTimes desktop = DesktopStep(options.flower, options.repeat);
        std::printf("desktop step: %s s (job %s s, display bitmaps %s s)\n", FormatC("%.3f", desktop.whole).c_str(),
                    FormatC("%.3f", desktop.job).c_str(), FormatC("%.3f", desktop.bitmaps).c_str());
        return desktop.whole > 0 ? 0 : 1;
    }
    std::printf("%s, %ld processors; load average before: %s; medians of %u runs\n\n", ProcessorName().c_str(),
                sysconf(_SC_NPROCESSORS_ONLN), LoadAverage().c_str(), options.repeat);
    Bench bench(options);
    const bool flower = std::filesystem::exists(options.flower);
    std::printf("| workload | fast: wall | plain: wall | ratio | fast: processor | fast: peak | bytes per pixel | "
                "identical |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    const std::uint64_t flowerPixels = flower ? Pixels(options.flower) : 0;
    Figures defaults;
    if (flower) {
        defaults = bench.Train(options.flower, {"--steps", "1"}, true, true);
        PrintRatioRow("flower, defaults, 1 step", defaults, flowerPixels);
    }
    const Figures tiger = bench.Train(options.tiger, {"--steps", "2", "--block", "4", "--radius", "0.05"}, true);
    PrintRatioRow("tiger, 4 × 4, R 0.05, 2 steps", tiger, Pixels(options.tiger));
    std::fflush(stdout);
    if (flower) {
        const Figures small = bench.Train(options.flower, {"--steps", "1", "--block", "4", "--radius", "0.05"}, false);
        std::printf("| flower, 4 × 4, R 0.05, 1 step | %s s | — | — | %s s | %s | %s | %s |\n",
                    FormatC("%.3f", small.wall).c_str(), FormatC("%.3f", small.cpu).c_str(),
                    FormatC("%.1f MiB", small.peakMiB).c_str(), PerPixel(small.peakMiB, flowerPixels).c_str(),
                    small.ok ? "(not compared)" : "FAILED");
        std::printf("\nflower: decode X.mqc -o X.png %s s, over the step that made X.mqc: %s\n",
                    FormatC("%.3f", defaults.decodeWall).c_str(), FormatC("%.2f", defaults.decodeRatio).c_str());
        const double pixels = static_cast<double>(flowerPixels);
        std::printf("flower, defaults, peak resident memory: %s (%s bytes per pixel)\n",
                    FormatC("%.1f MiB", defaults.peakMiB).c_str(),
                    FormatC("%.1f", defaults.peakMiB * 1024 * 1024 / pixels).c_str());
        const DesktopTimes desktop = DesktopStep(options.flower, options.repeat);
        std::printf("desktop step on the flower: %s s (job %s s, display bitmaps %s s)\n",
                    FormatC("%.3f", desktop.whole).c_str(), FormatC("%.3f", desktop.job).c_str(),
                    FormatC("%.3f", desktop.bitmaps).c_str());
    } else {
        std::printf("\n(no 2268 x 1512 photo: install libjxl-testdata or give --flower)\n");
    }
    std::printf("load average after: %s\n", LoadAverage().c_str());
    return defaults.ok && defaults.identical && tiger.ok && tiger.identical ? 0 : 1;
}
