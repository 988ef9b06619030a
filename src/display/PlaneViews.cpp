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
    return MakeDisplayBitmap(fixed, rows, columns, [&](std::uint32_t i) {
        return [row = plane[i]](std::uint32_t j) { return DisplayColour{row[j], row[j], row[j]}; };
    });
}

DisplayPointer ColourView(const BitmapInfoHeader& fixed, const Plane& red, const Plane& green, const Plane& blue,
                          std::uint32_t rows, std::uint32_t columns) {
    if (!CoverAll(red, green, blue, rows, columns)) return nullptr;
    return MakeDisplayBitmap(fixed, rows, columns, [&](std::uint32_t i) {
        return [r = red[i], g = green[i], b = blue[i]](std::uint32_t j) { return DisplayColour{r[j], g[j], b[j]}; };
    });
}

DisplayPointer MarkedChannelView(const BitmapInfoHeader& fixed, const Plane& channel, const MaskSampler& marks,
                                 int markColour, std::uint32_t rows, std::uint32_t columns) {
    if (!Covers(channel, rows, columns)) return nullptr;
    return MakeDisplayBitmap(fixed, rows, columns, [&](std::uint32_t i) {
        return [row = channel[i], rowMarks = marks.Row(i), markColour](std::uint32_t j) {
            const std::uint8_t mark = rowMarks.At(j);
            if (mark == 0) return DisplayColour{row[j], row[j], row[j]};
            DisplayColour colour;
            (markColour == 0 ? colour.red : markColour == 1 ? colour.green : colour.blue) = mark;
            return colour;
        };
    });
}

DisplayPointer MarksCompositeView(const BitmapInfoHeader& fixed, const Plane& red, const Plane& green,
                                  const Plane& blue, const MaskSampler (&marks)[3], bool halfSizeChroma,
                                  std::uint32_t rows, std::uint32_t columns) {
    if (!CoverAll(red, green, blue, rows, columns)) return nullptr;
    const std::uint32_t chromaScale = halfSizeChroma ? 2 : 1;
    return MakeDisplayBitmap(fixed, rows, columns, [&](std::uint32_t i) {
        return [r = red[i], g = green[i], b = blue[i], first = marks[0].Row(i), second = marks[1].Row(i / chromaScale),
                third = marks[2].Row(i / chromaScale), chromaScale](std::uint32_t j) {
            // An unmarked channel's mask byte is 0, so (m1, m2, m3) is the
            // colour of every combination of marks.
            const DisplayColour marked{first.At(j), second.At(j / chromaScale), third.At(j / chromaScale)};
            if (marked.red == 0 && marked.green == 0 && marked.blue == 0) return DisplayColour{r[j], g[j], b[j]};
            return marked;
        };
    });
}

}  // namespace pictora
