#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "image/PngImage.h"
#include "support/Plane.h"

namespace pictora::testing {

inline Plane MakePlane(std::uint32_t height, std::uint32_t width,
                       const std::function<std::uint8_t(std::uint32_t, std::uint32_t)>& sample) {
    Plane plane(height, width);
    for (std::uint32_t i = 0; i < height; ++i)
        for (std::uint32_t j = 0; j < width; ++j) plane[i][j] = sample(i, j);
    return plane;
}

inline RgbImage LoadTestPhoto(const std::string& name) {
    RgbImage image;
    EXPECT_TRUE(ReadPngFile(std::string(PICTORA_TEST_DATA_DIR) + "/" + name, image)) << name;
    return image;
}

// A deterministic loss of detail: each sample averaged with its right-hand
// neighbour, then cut to 16 levels.
inline Plane Distorted(const Plane& plane) {
    return MakePlane(plane.Height(), plane.Width(), [&](std::uint32_t i, std::uint32_t j) {
        const std::uint32_t right = j + 1 < plane.Width() ? j + 1 : j;
        const std::uint32_t mean = (3u * plane[i][j] + plane[i][right]) / 4u;
        return static_cast<std::uint8_t>(mean - mean % 16u);
    });
}

inline Plane Cropped(const Plane& plane, std::uint32_t height, std::uint32_t width) {
    return MakePlane(height, width, [&](std::uint32_t i, std::uint32_t j) { return plane[i][j]; });
}

}  // namespace pictora::testing
