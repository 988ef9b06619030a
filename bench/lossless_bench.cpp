// What the lossless stages make of coded images, and how fast the contextual
// stage runs, in one run:
//
//   lossless_bench [--speed-only] [--repeat N] [PHOTO.png]...
//
// Every photo is trained for one step in three settings: the defaults (RGB,
// 8 x 8, R 0.1), RGB 4 x 4 with R 0.05, and YCbCr 4:2:0 4 x 4 with R 0.05.
// Each coded image (.mqc) is coded by the Huffman (.huf), arithmetic (.art)
// and contextual (.mqz) stages, by zlib at level 9 in gzip form (what
// `gzip -9` does) and by liblzma at preset 9 extreme (what `xz -9e` writes);
// every .mqz is decoded and compared with its .mqc. One row per coded image,
// then the mean size over the .mqc's per setting and over all, and the coded
// images where the .mqz is larger than the xz file.
//
// Then the contextual stage's throughput on the 2268 x 1512 flower photo of
// the libjxl-testdata package at 4 x 4 (RGB, R 0.05, one step): megabytes of
// .mqc per second of this thread's CPU time, encoding and decoding, each the
// best of N runs (default 5), beside the arithmetic stage in the same run.
#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "pipeline/ImageCompressor.h"
#include "pipeline/ResultFiles.h"
#include "quantizer/EntropyCoderSlot.h"

namespace {

using pictora::ColorSpace;
using pictora::ImageCompressor;
using pictora::LosslessMode;
using Bytes = std::vector<std::uint8_t>;

struct Setting {
    const char* name;
    ColorSpace colorSpace;
    std::uint32_t side;
    double radius;
};

constexpr std::array<Setting, 3> kSettings = {{{"RGB 8x8 R0.1", ColorSpace::Rgb, 8, 0.1},
                                               {"RGB 4x4 R0.05", ColorSpace::Rgb, 4, 0.05},
                                               {"YCbCr420 4x4 R0.05", ColorSpace::YCbCr420, 4, 0.05}}};

constexpr const char* kFlower = "/usr/share/libjxl-testdata/jxl/flower/flower.png";

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

bool Train(const std::string& photo, const Setting& setting, Bytes& coded) {
    ImageCompressor compressor;
    if (!compressor.LoadImage(photo)) return false;
    pictora::TrainingJob job;
    for (auto& channel : job.channels) {
        channel.radius = setting.radius;
        channel.alfa = 0.1;
        channel.passes = 1;
        channel.dimension = setting.side * setting.side;
    }
    job.colorSpace = setting.colorSpace;
    job.restart = true;
    return compressor.TrainAndCode(job) && compressor.EncodeCodedImage(coded);
}

std::size_t GzipSize(const Bytes& in) {
    z_stream stream{};
    if (deflateInit2(&stream, 9, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) return 0;
    Bytes out(deflateBound(&stream, static_cast<uLong>(in.size())) + 32);
    stream.next_in = const_cast<Bytef*>(in.data());
    stream.avail_in = static_cast<uInt>(in.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const bool done = deflate(&stream, Z_FINISH) == Z_STREAM_END;
    const std::size_t size = stream.total_out;
    deflateEnd(&stream);
    return done ? size : 0;
}

std::size_t XzSize(const Bytes& in) {
    Bytes out(lzma_stream_buffer_bound(in.size()));
    std::size_t size = 0;
    if (lzma_easy_buffer_encode(9 | LZMA_PRESET_EXTREME, LZMA_CHECK_CRC64, nullptr, in.data(), in.size(), out.data(),
                                &size, out.size()) != LZMA_OK)
        return 0;
    return size;
}

std::size_t StageSize(LosslessMode mode, const Bytes& coded) {
    Bytes packed;
    return pictora::EncodeBytesWith(mode, coded, packed) ? packed.size() : 0;
}

// Best-of-N seconds of this thread's CPU for encoding and for decoding.
struct Timing {
    double encode = 1e30;
    double decode = 1e30;
};

Timing TimeStage(LosslessMode mode, const Bytes& coded, int repeat, bool& sameBytes) {
    Timing timing;
    Bytes packed, unpacked;
    for (int r = 0; r < repeat; ++r) {
        const double start = ThreadSeconds();
        (void)pictora::EncodeBytesWith(mode, coded, packed);
        const double encoded = ThreadSeconds();
        (void)pictora::DecodeBytesWith(mode, packed, unpacked);
        const double decoded = ThreadSeconds();
        timing.encode = std::min(timing.encode, encoded - start);
        timing.decode = std::min(timing.decode, decoded - encoded);
    }
    sameBytes = unpacked == coded;
    return timing;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> photos;
    bool speedOnly = false;
    int repeat = 5;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--speed-only") speedOnly = true;
        else if (argument == "--repeat" && i + 1 < argc) repeat = std::max(1, std::atoi(argv[++i]));
        else photos.push_back(argument);
    }
    std::sort(photos.begin(), photos.end());

    if (!speedOnly) {
        struct Sums {
            double huf = 0, art = 0, mqz = 0, gzip = 0, xz = 0;
            int files = 0, aboveXz = 0;
        };
        std::array<Sums, 4> sums{};  // per setting, then over all
        std::printf("photo,setting,mqc,huf,art,gzip9,xz9e,mqz,mqz/mqc,mqz/xz\n");
        for (const std::string& photo : photos) {
            for (std::size_t s = 0; s < kSettings.size(); ++s) {
                Bytes coded;
                if (!Train(photo, kSettings[s], coded)) {
                    std::fprintf(stderr, "%s: cannot train\n", photo.c_str());
                    return 1;
                }
                Bytes packed, unpacked;
                if (!pictora::EncodeBytesWith(LosslessMode::Contextual, coded, packed) ||
                    !pictora::DecodeBytesWith(LosslessMode::Contextual, packed, unpacked) || unpacked != coded) {
                    std::fprintf(stderr, "%s: the .mqz does not give back its .mqc\n", photo.c_str());
                    return 1;
                }
                const double mqc = static_cast<double>(coded.size());
                const double huf = static_cast<double>(StageSize(LosslessMode::Huffman, coded));
                const double art = static_cast<double>(StageSize(LosslessMode::Arithmetic, coded));
                const double gzip = static_cast<double>(GzipSize(coded));
                const double xz = static_cast<double>(XzSize(coded));
                const double mqz = static_cast<double>(packed.size());
                std::printf("%s,%s,%.0f,%.0f,%.0f,%.0f,%.0f,%.0f,%.4f,%.4f\n",
                            std::filesystem::path(photo).stem().c_str(), kSettings[s].name, mqc, huf, art, gzip, xz,
                            mqz, mqz / mqc, mqz / xz);
                std::fflush(stdout);
                for (Sums* sum : {&sums[s], &sums[3]}) {
                    sum->huf += huf / mqc;
                    sum->art += art / mqc;
                    sum->gzip += gzip / mqc;
                    sum->xz += xz / mqc;
                    sum->mqz += mqz / mqc;
                    sum->files += 1;
                    sum->aboveXz += mqz > xz ? 1 : 0;
                }
            }
        }
        std::printf("\nmean size over the .mqc\n%-20s %6s %6s %6s %6s %6s %6s  %s\n", "setting", "files", ".huf", ".art",
                    "gzip9", "xz9e", ".mqz", ".mqz above xz");
        for (std::size_t s = 0; s < sums.size(); ++s) {
            const Sums& sum = sums[s];
            if (sum.files == 0) continue;
            const double n = sum.files;
            std::printf("%-20s %6d %6.3f %6.3f %6.3f %6.3f %6.3f  %d\n", s < 3 ? kSettings[s].name : "all", sum.files,
                        sum.huf / n, sum.art / n, sum.gzip / n, sum.xz / n, sum.mqz / n, sum.aboveXz);
        }
    }

    if (!std::filesystem::exists(kFlower)) {
        std::printf("\n(no throughput: install libjxl-testdata for %s)\n", kFlower);
        return 0;
    }
    Bytes coded;
    if (!Train(kFlower, kSettings[1], coded)) return 1;
    const double megabytes = static_cast<double>(coded.size()) / 1e6;
    std::printf("\nflower 2268 x 1512, RGB 4 x 4, R 0.05: .mqc of %.0f bytes; MB of .mqc per CPU second, best of %d\n",
                static_cast<double>(coded.size()), repeat);
    for (LosslessMode mode : {LosslessMode::Contextual, LosslessMode::Arithmetic}) {
        bool same = false;
        const Timing timing = TimeStage(mode, coded, repeat, same);
        std::printf("%-11s encode %6.1f  decode %6.1f%s\n", mode == LosslessMode::Contextual ? "contextual" : "arithmetic",
                    megabytes / timing.encode, megabytes / timing.decode, same ? "" : "  (decoded bytes differ!)");
    }
    return 0;
}
