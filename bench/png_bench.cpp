// Times PNG reading and writing in this process against libpng with zlib's
// defaults, the way the program read and wrote PNG files before:
//
//   png_bench [--repeat N] [PHOTO.png]
//
// Reading: the photo's bytes, already in memory, decoded by libpng
// (png_read_image into one buffer of interleaved rows, 16-bit samples cut to
// 8) and by DecodePngImage (into the three planes), in turn, A B A B.
// Writing: the reconstruction of one default training step on the photo,
// encoded by libpng (zlib level 6, every filter tried per row) and by
// EncodePng. Ratios are medians of the pairs' ratios; both decodes must give
// the same pixels, and both encodings must decode to the reconstruction.
#include <png.h>

#include <algorithm>
#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "image/PngImage.h"
#include "image/PngWriter.h"
#include "pipeline/ImageCompressor.h"
#include "support/FileIO.h"
#include "support/NumberText.h"

namespace {

using pictora::FormatC;
using pictora::Plane;
using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

template <typename Work>
double Seconds(Work work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct MemoryReader {
    const std::vector<std::uint8_t>* file;
    std::size_t position;
};

void ReadFromMemory(png_structp png, png_bytep data, png_size_t length) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (reader->file->size() - reader->position < length) png_error(png, "the file ends too early");
    std::copy_n(reader->file->data() + reader->position, length, data);
    reader->position += length;
}

// libpng's decode of an RGB file into interleaved 8-bit rows; empty on failure.
std::vector<std::uint8_t> LibpngDecode(const std::vector<std::uint8_t>& file) {
    MemoryReader reader{&file, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<std::uint8_t> pixels;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_read_fn(png, &reader, ReadFromMemory);
        png_read_info(png, info);
        png_set_strip_16(png);
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        const std::size_t rowBytes = png_get_rowbytes(png, info);
        const std::uint32_t height = png_get_image_height(png, info);
        pixels.resize(rowBytes * height);
        for (std::uint32_t i = 0; i < height; ++i) rows.push_back(pixels.data() + i * rowBytes);
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
    } else {
        pixels.clear();
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return pixels;
}

void AppendToMemory(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

// libpng's encoding with its defaults, as the program wrote PNG files before.
std::vector<std::uint8_t> LibpngEncode(const std::vector<std::uint8_t>& interleaved, std::uint32_t height,
                                       std::uint32_t width) {
    std::vector<std::uint8_t> out;
    std::vector<png_bytep> rows;
    for (std::uint32_t i = 0; i < height; ++i)
        rows.push_back(const_cast<png_bytep>(interleaved.data() + static_cast<std::size_t>(i) * 3 * width));
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, &out, AppendToMemory, [](png_structp) {});
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_write_image(png, rows.data());
        png_write_end(png, nullptr);
    } else {
        out.clear();
    }
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<std::uint8_t> Interleaved(const Plane& red, const Plane& green, const Plane& blue) {
    std::vector<std::uint8_t> pixels;
    pixels.reserve(static_cast<std::size_t>(red.Height()) * red.Width() * 3);
    for (std::uint32_t i = 0; i < red.Height(); ++i)
        for (std::uint32_t j = 0; j < red.Width(); ++j) pixels.insert(pixels.end(), {red[i][j], green[i][j], blue[i][j]});
    return pixels;
}

std::string ProcessorName() {
    std::vector<std::uint8_t> bytes;
    if (!pictora::ReadWholeFile("/proc/cpuinfo", bytes)) return "unknown processor";
    const std::string text(bytes.begin(), bytes.end());
    const std::size_t line = text.find("model name");
    if (line == std::string::npos) return "unknown processor";
    const std::size_t start = text.find(':', line) + 2;
    return text.substr(start, text.find('\n', start) - start);
}

}  // namespace

int main(int argc, char** argv) {
    unsigned repeat = 9;
    std::string photo = "/usr/share/libjxl-testdata/jxl/flower/flower.png";
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        double value = 0;
        if (argument == "--repeat" && i + 1 < argc && pictora::ParseReal(argv[i + 1], value) && value >= 1) {
            repeat = static_cast<unsigned>(value);
            ++i;
        } else if (argument.rfind("--", 0) != 0) {
            photo = argument;
        } else {
            std::fprintf(stderr, "usage: png_bench [--repeat N] [PHOTO.png]\n");
            return 2;
        }
    }
    std::vector<std::uint8_t> file;
    if (!pictora::ReadWholeFile(photo, file)) {
        std::fprintf(stderr, "cannot read %s\n", photo.c_str());
        return 1;
    }
    std::printf("%s; %s, %zu bytes; medians of %u pairs\n\n", ProcessorName().c_str(),
                std::filesystem::path(photo).filename().c_str(), file.size(), repeat);

    // Reading.
    std::vector<double> libpngRead, ownRead, readRatios;
    bool samePixels = true;
    for (unsigned run = 0; run < repeat; ++run) {
        std::vector<std::uint8_t> reference;
        pictora::RgbImage image;
        pictora::Status decoded = pictora::Status::Ok();
        const double before = Seconds([&] { reference = LibpngDecode(file); });
        const double after = Seconds([&] { decoded = pictora::DecodePngImage(file, image); });
        if (!decoded || reference.empty()) {
            std::fprintf(stderr, "%s: not decoded: %s\n", photo.c_str(), decoded.message().c_str());
            return 1;
        }
        samePixels = samePixels && reference == Interleaved(image.red, image.green, image.blue);
        libpngRead.push_back(before);
        ownRead.push_back(after);
        readRatios.push_back(before / after);
    }

    // Writing the reconstruction of a default step.
    pictora::ImageCompressor compressor;
    if (!compressor.LoadImage(photo)) return 1;
    pictora::TrainingJob job;
    for (pictora::ChannelJob& channel : job.channels) {
        channel.radius = 0.1;
        channel.alfa = 0.1;
        channel.passes = 1;
        channel.dimension = 64;
    }
    job.restart = true;
    job.colorSpace = pictora::ColorSpace::Rgb;
    if (!compressor.TrainAndCode(job)) return 1;
    const std::uint32_t height = compressor.ReconstructionRows();
    const std::uint32_t width = compressor.ReconstructionColumns();
    const Plane* planes[3] = {&compressor.ReconstructedPlane(0), &compressor.ReconstructedPlane(1),
                              &compressor.ReconstructedPlane(2)};
    const std::vector<std::uint8_t> pixels = Interleaved(*planes[0], *planes[1], *planes[2]);
    std::vector<double> libpngWrite, ownWrite, writeRatios;
    std::vector<std::uint8_t> before, after;
    for (unsigned run = 0; run < repeat; ++run) {
        const double libpngTime = Seconds([&] { before = LibpngEncode(pixels, height, width); });
        const double ownTime = Seconds([&] { after = pictora::EncodePng(planes, height, width); });
        libpngWrite.push_back(libpngTime);
        ownWrite.push_back(ownTime);
        writeRatios.push_back(libpngTime / ownTime);
    }
    const bool bothDecode = LibpngDecode(before) == pixels && LibpngDecode(after) == pixels;

    std::printf("| work | libpng + zlib | this program | ratio | check |\n|---|---|---|---|---|\n");
    std::printf("| read %s (%u x %u) | %s ms | %s ms | **%s ×** | %s |\n", std::filesystem::path(photo).filename().c_str(),
                width, height, FormatC("%.1f", 1e3 * Median(libpngRead)).c_str(),
                FormatC("%.1f", 1e3 * Median(ownRead)).c_str(), FormatC("%.2f", Median(readRatios)).c_str(),
                samePixels ? "same pixels" : "PIXELS DIFFER");
    std::printf("| write its default reconstruction | %s ms | %s ms | **%s ×** | %s |\n",
                FormatC("%.1f", 1e3 * Median(libpngWrite)).c_str(), FormatC("%.1f", 1e3 * Median(ownWrite)).c_str(),
                FormatC("%.2f", Median(writeRatios)).c_str(), bothDecode ? "both decode to it" : "DECODE DIFFERS");
    std::printf("\nfile sizes: libpng %zu bytes, this program %zu bytes (%s %%)\n", before.size(), after.size(),
                FormatC("%+.1f", 100.0 * (static_cast<double>(after.size()) / before.size() - 1)).c_str());
    return samePixels && bothDecode ? 0 : 1;
}
