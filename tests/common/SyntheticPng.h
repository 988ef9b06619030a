#pragma once

#include <cstdint>
#include <string>

#include "image/PngImage.h"

namespace pictora::testing {

// Writes a height x width RGB PNG whose samples come from sample(i, j, plane).
template <typename Sample>
bool WriteSyntheticPng(const std::string& path, std::int32_t height, std::int32_t width, Sample sample) {
    RgbImage image;
    image.Resize(height, width);
    Plane* planes[3] = {&image.red, &image.green, &image.blue};
    for (int k = 0; k < 3; ++k)
        for (std::int32_t i = 0; i < height; ++i)
            for (std::int32_t j = 0; j < width; ++j) (*planes[k])[i][j] = static_cast<std::uint8_t>(sample(i, j, k));
    return WritePngFile(image, PngPlanes::Rgb, path).ok();
}

// Crops a PNG file's top-left height x width corner into another PNG file.
inline bool CropPng(const std::string& from, const std::string& to, std::int32_t height, std::int32_t width) {
    RgbImage source;
    if (!ReadPngFile(from, source)) return false;
    return WriteSyntheticPng(to, height, width, [&](std::int32_t i, std::int32_t j, int k) {
        const Plane* planes[3] = {&source.red, &source.green, &source.blue};
        return (*planes[k])[i][j];
    });
}

}  // namespace pictora::testing
