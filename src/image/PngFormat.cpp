#include "image/PngFormat.h"

namespace pictora {

std::uint32_t PngHeader::SamplesPerPixel() const {
    switch (colourType) {
        case PngColourType::Rgb: return 3;
        case PngColourType::GreyAlpha: return 2;
        case PngColourType::RgbAlpha: return 4;
        case PngColourType::Grey:
        case PngColourType::Palette: break;
    }
    return 1;
}

std::uint64_t PngHeader::RowBytes(std::uint32_t columns) const {
    return (std::uint64_t{columns} * SamplesPerPixel() * bitDepth + 7) / 8;
}

std::uint32_t PngHeader::FilterStride() const {
    const std::uint32_t bits = SamplesPerPixel() * bitDepth;
    return bits < 8 ? 1 : bits / 8;
}

std::uint64_t PngHeader::FilteredBytes() const {
    if (!interlaced) return std::uint64_t{height} * (1 + RowBytes(width));
    std::uint64_t bytes = 0;
    for (const PngPass& pass : kAdam7Passes) {
        const std::uint32_t columns = pass.Columns(width);
        if (columns != 0) bytes += std::uint64_t{pass.Rows(height)} * (1 + RowBytes(columns));
    }
    return bytes;
}

}  // namespace pictora
