#include "image/RgbImage.h"

namespace pictora {

void RgbImage::Resize(std::int32_t newHeight, std::int32_t newWidth) {
    if (height == newHeight && width == newWidth && PlanesMatchSize()) return;
    height = newHeight;
    width = newWidth;
    for (Plane* plane : {&red, &green, &blue})
        plane->Allocate(static_cast<std::uint32_t>(height), static_cast<std::uint32_t>(width));
}

bool RgbImage::PlanesMatchSize() const {
    const auto rows = static_cast<std::uint32_t>(height);
    const auto columns = static_cast<std::uint32_t>(width);
    for (const Plane* plane : {&red, &green, &blue}) {
        if (plane->Height() != rows || plane->Width() != columns) return false;
    }
    return true;
}

}  // namespace pictora
