#include "display/ViewImage.h"

#include <cstddef>

namespace pictora {
namespace {

std::size_t IndexOf(int width, int x, int y) {
    return (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
}

bool PlaneFits(const Plane& plane, std::int32_t height, std::int32_t width) {
    return plane.Height() == static_cast<std::uint32_t>(height) && plane.Width() == static_cast<std::uint32_t>(width);
}

}  // namespace

RgbPixel ViewImage::At(int x, int y) const {
    const std::size_t index = IndexOf(width, x, y);
    return {rgb[index], rgb[index + 1], rgb[index + 2]};
}

void ViewImage::Set(int x, int y, RgbPixel pixel) {
    const std::size_t index = IndexOf(width, x, y);
    rgb[index] = pixel.red;
    rgb[index + 1] = pixel.green;
    rgb[index + 2] = pixel.blue;
}

ViewImage ViewImage::Black(int width, int height) {
    ViewImage image;
    if (width <= 0 || height <= 0) return image;
    image.width = width;
    image.height = height;
    image.rgb.assign(IndexOf(width, 0, height), 0);
    return image;
}

ViewImage ViewImageOf(const RgbImage& source) {
    if (source.width <= 0 || source.height <= 0) return {};
    if (!PlaneFits(source.red, source.height, source.width) || !PlaneFits(source.green, source.height, source.width) ||
        !PlaneFits(source.blue, source.height, source.width))
        return {};
    ViewImage image = ViewImage::Black(source.width, source.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.Set(x, y, {source.red[y][x], source.green[y][x], source.blue[y][x]});
    return image;
}

}  // namespace pictora
