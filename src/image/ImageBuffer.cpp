#include "image/ImageBuffer.h"

#include <algorithm>
#include <cassert>

#include "image/ChromaResampling.h"
#include "image/ColorConversion.h"
#include "image/PngImage.h"
#include "support/DebugLog.h"

namespace pictora {
namespace {

void CopyRegion(Plane& destination, const Plane& source, std::uint32_t rows, std::uint32_t columns) {
    for (std::uint32_t i = 0; i < rows; ++i) {
        std::copy_n(source[i], columns, destination[i]);
    }
}

}  // namespace

void ImageBuffer::Release() {
    rgb.reset();
    for (Plane* plane : {&lumaY, &chromaCb, &chromaCr, &chromaCb420, &chromaCr420}) {
        plane->Release();
    }
}

void ImageBuffer::Allocate(std::int32_t height, std::int32_t width) {
    assert(height >= 0 && width >= 0);
    Release();
    const auto rows = static_cast<std::uint32_t>(height);
    const auto columns = static_cast<std::uint32_t>(width);
    rgb = std::make_unique<RgbImage>();
    rgb->height = height;
    rgb->width = width;
    for (Plane* plane : {&rgb->red, &rgb->green, &rgb->blue, &lumaY, &chromaCb, &chromaCr}) {
        plane->Allocate(rows, columns);
    }
}

Status ImageBuffer::LoadPng(const std::string& path) {
    Release();
    auto image = std::make_unique<RgbImage>();
    DebugLog("png\n");
    const Status loaded = ReadPngFile(path, *image);
    DebugLog("carregado\n");
    if (!loaded) return loaded;
    rgb = std::move(image);
    DeriveYCbCrPlanes();
    return Status::Ok();
}

Status ImageBuffer::DecodePng(std::span<const std::uint8_t> file, const std::string& name, DerivedPlanes derived) {
    Release();
    auto image = std::make_unique<RgbImage>();
    if (Status decoded = DecodePngImage(file, *image); !decoded) return decoded.About(name);
    rgb = std::move(image);
    if (derived == DerivedPlanes::AtLoad) DeriveYCbCrPlanes();
    return Status::Ok();
}

void ImageBuffer::DeriveYCbCrPlanes() {
    if (!rgb || HasYCbCrPlanes()) return;
    const auto rows = static_cast<std::uint32_t>(rgb->height);
    const auto columns = static_cast<std::uint32_t>(rgb->width);
    // Made aside and moved in together: memory running out half way leaves
    // none of them rather than some.
    Plane y(rows, columns), cb(rows, columns), cr(rows, columns);
    RgbToYCbCr(rows, columns, rgb->red, rgb->green, rgb->blue, y, cb, cr);
    Plane cb420 = cb;
    Plane cr420 = cr;
    Decimate420(rows, columns, cb420);
    Decimate420(rows, columns, cr420);
    lumaY = std::move(y);
    chromaCb = std::move(cb);
    chromaCr = std::move(cr);
    chromaCb420 = std::move(cb420);
    chromaCr420 = std::move(cr420);
}

int ImageBuffer::GetHeight() const { return rgb ? rgb->height : 0; }

int ImageBuffer::GetWidth() const { return rgb ? rgb->width : 0; }

void ImageBuffer::CopyPlanes(PlaneGroup target, const Plane& a, const Plane& b, const Plane& c) {
    if (!rgb) return;
    const auto rows = static_cast<std::uint32_t>(GetHeight());
    const auto columns = static_cast<std::uint32_t>(GetWidth());
    const bool toRgb = target == PlaneGroup::Rgb;
    CopyRegion(toRgb ? rgb->red : lumaY, a, rows, columns);
    CopyRegion(toRgb ? rgb->green : chromaCb, b, rows, columns);
    CopyRegion(toRgb ? rgb->blue : chromaCr, c, rows, columns);
}

}  // namespace pictora
