#include "display/PlaneViews.h"

namespace pictora {
namespace {

bool Covers(const Plane& plane, std::uint32_t rows, std::uint32_t columns) {
    return plane.Height() >= rows && plane.Width() >= columns;
}

bool CoverAll(const Plane& red, const Plane& green, const Plane& blue, std::uint32_t rows, std::uint32_t columns) {
    return Covers(red, rows, columns) && Covers(green, rows, columns) && Covers(blue, rows, columns);
}

}  // namespace

DisplayPointer GreyView(const BitmapInfoHeader& fixed, const Plane& plane, std::uint32_t rows,
                        std::uint32_t columns) {
    if (!Covers(plane, rows, columns)) return nullptr;
    return MakeDisplayBitmap(fixed, rows, columns, [&](std::uint32_t i, std::uint32_t j) {
        const std::uint8_t value = plane[i][j];
        return DisplayColour{value, value, value};
    });
}

DisplayPointer ColourView(const BitmapInfoHeader& fixed, const Plane& red, const Plane& green, const Plane& blue,
                          std::uint32_t rows, std::uint32_t columns) {
    if (!CoverAll(red, green, blue, rows, columns)) return nullptr;
    return MakeDisplayBitmap(fixed, rows, columns, [&](std::uint32_t i, std::uint32_t j) {
        return DisplayColour{red[i][j], green[i][j], blue[i][j]};
    });
}

DisplayPointer MarkedChannelView(const BitmapInfoHeader& fixed, const Plane& channel, const MaskSampler& marks,
                                 int markColour, std::uint32_t rows, std::uint32_t columns) {
    if (!Covers(channel, rows, columns)) return nullptr;
    return MakeDisplayBitmap(fixed, rows, columns, [&](std::uint32_t i, std::uint32_t j) {
        const std::uint8_t mark = marks.At(i, j);
        if (mark == 0) {
            const std::uint8_t value = channel[i][j];
            return DisplayColour{value, value, value};
        }
        DisplayColour colour;
        (markColour == 0 ? colour.red : markColour == 1 ? colour.green : colour.blue) = mark;
        return colour;
    });
}

DisplayPointer MarksCompositeView(const BitmapInfoHeader& fixed, const Plane& red, const Plane& green,
                                  const Plane& blue, const MaskSampler (&marks)[3], bool halfSizeChroma,
                                  std::uint32_t rows, std::uint32_t columns) {
    if (!CoverAll(red, green, blue, rows, columns)) return nullptr;
    const std::uint32_t chromaScale = halfSizeChroma ? 2 : 1;
    return MakeDisplayBitmap(fixed, rows, columns, [&](std::uint32_t i, std::uint32_t j) {
        // An unmarked channel's mask byte is 0, so (m1, m2, m3) is the colour
        // of every combination of marks.
        const DisplayColour marked{marks[0].At(i, j), marks[1].At(i / chromaScale, j / chromaScale),
                                   marks[2].At(i / chromaScale, j / chromaScale)};
        if (marked.red == 0 && marked.green == 0 && marked.blue == 0) {
            return DisplayColour{red[i][j], green[i][j], blue[i][j]};
        }
        return marked;
    });
}

}  // namespace pictora
