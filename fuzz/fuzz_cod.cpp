// The codebook reader and both codebook applications, on a small loaded
// image: any bytes code the image or are refused.
//
// Input: byte 0 chooses one file (even) or three; for three, bytes 1 and 2
// cut the rest into three files and byte 3 holds the three section
// positions (two bits each, 0 meaning position 0, which must be refused).
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "image/PngImage.h"
#include "pipeline/ImageCompressor.h"

namespace {

pictora::ImageCompressor& Compressor() {
    static pictora::ImageCompressor* compressor = [] {
        pictora::RgbImage image;
        image.Resize(24, 30);
        for (int i = 0; i < 24; ++i)
            for (int j = 0; j < 30; ++j) {
                image.red[i][j] = static_cast<std::uint8_t>(i * 9 + j);
                image.green[i][j] = static_cast<std::uint8_t>(j * 7);
                image.blue[i][j] = static_cast<std::uint8_t>((i ^ j) * 5);
            }
        std::vector<std::uint8_t> png;
        auto* loaded = new pictora::ImageCompressor;
        if (!pictora::EncodePngImage(image, pictora::PngPlanes::Rgb, png) || !loaded->LoadImage(png, "image.png")) __builtin_trap();
        return loaded;
    }();
    return *compressor;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    pictora::ImageCompressor& compressor = Compressor();
    if (data[0] % 2 == 0) {
        (void)compressor.ApplyCodebooks({data + 1, size - 1}, "book.cod");
        return 0;
    }
    const std::size_t rest = size - 4;
    const std::size_t first = rest == 0 ? 0 : data[1] * rest / 256;
    const std::size_t second = first + (rest - first == 0 ? 0 : data[2] * (rest - first) / 256);
    const std::uint8_t* body = data + 4;
    const std::array<std::span<const std::uint8_t>, 3> files = {
        std::span(body, first), std::span(body + first, second - first), std::span(body + second, rest - second)};
    const std::array<int, 3> positions = {data[3] & 3, (data[3] >> 2) & 3, (data[3] >> 4) & 3};
    (void)compressor.ApplyCodebookSections(files, {"r.cod", "g.cod", "b.cod"}, positions);
    return 0;
}
