#include "image/InterleavedRgb.h"

#include <string>

namespace pictora {

Status CheckEncodable(const RgbImage& image, std::string_view codecName) {
    if (image.height <= 0 || image.width <= 0) {
        return Status::Error(ErrorKind::InvalidSetting, std::string(codecName) + ": the image has no pixels to encode");
    }
    const auto height = static_cast<std::uint32_t>(image.height);
    const auto width = static_cast<std::uint32_t>(image.width);
    for (const Plane* plane : {&image.red, &image.green, &image.blue}) {
        if (plane->Height() != height || plane->Width() != width) {
            return Status::Error(ErrorKind::InvalidSetting, std::string(codecName) + ": the image planes do not match its size");
        }
    }
    return Status::Ok();
}

std::vector<std::uint8_t> InterleaveRgb(const RgbImage& image) {
    std::vector<std::uint8_t> pixels;
    pixels.reserve(static_cast<std::size_t>(image.height) * static_cast<std::size_t>(image.width) * 3);
    for (std::int32_t i = 0; i < image.height; ++i) {
        for (std::int32_t j = 0; j < image.width; ++j) {
            pixels.push_back(image.red[i][j]);
            pixels.push_back(image.green[i][j]);
            pixels.push_back(image.blue[i][j]);
        }
    }
    return pixels;
}

void SpreadInterleavedRgb(const std::uint8_t* pixels, std::uint32_t height, std::uint32_t width,
                          std::size_t rowBytes, RgbImage& image) {
    image.height = static_cast<std::int32_t>(height);
    image.width = static_cast<std::int32_t>(width);
    image.red.Allocate(height, width);
    image.green.Allocate(height, width);
    image.blue.Allocate(height, width);
    for (std::uint32_t i = 0; i < height; ++i) {
        const std::uint8_t* row = pixels + i * rowBytes;
        for (std::uint32_t j = 0; j < width; ++j) {
            image.red[i][j] = row[3 * j];
            image.green[i][j] = row[3 * j + 1];
            image.blue[i][j] = row[3 * j + 2];
        }
    }
}

}  // namespace pictora
