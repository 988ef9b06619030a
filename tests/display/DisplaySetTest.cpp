#include <gtest/gtest.h>

#include <vector>

#include "display/DisplaySet.h"

namespace pictora {
namespace {

constexpr ColorSpace kYCbCr444 = ColorSpace::YCbCr444;
constexpr ColorSpace kRgb = ColorSpace::Rgb;
constexpr ColorSpace kYCbCr420 = ColorSpace::YCbCr420;

struct Colour {
    int red, green, blue;
    bool operator==(const Colour&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Colour& c) {
    return out << "(" << c.red << ", " << c.green << ", " << c.blue << ")";
}

// The colour at image row i (from the top) and column j.
Colour PixelAt(const DisplayBitmap& bitmap, int i, int j) {
    const int rowBytes = static_cast<int>(bitmap.header.sizeImage) / bitmap.Height();
    const std::uint8_t* p = bitmap.pixels.data() + (bitmap.Height() - 1 - i) * rowBytes + 3 * j;
    return {p[2], p[1], p[0]};
}

Plane Filled(std::uint32_t rows, std::uint32_t columns, int first) {
    Plane plane(rows, columns);
    for (std::uint32_t i = 0; i < rows; ++i)
        for (std::uint32_t j = 0; j < columns; ++j) plane[i][j] = static_cast<std::uint8_t>(first + 10 * i + j);
    return plane;
}

DisplaySlot Slot(int number) { return static_cast<DisplaySlot>(number); }

// An image as LoadPng leaves it, with recognisable sample values per plane.
ImageBuffer SyntheticImage(std::int32_t height, std::int32_t width) {
    const auto rows = static_cast<std::uint32_t>(height);
    const auto columns = static_cast<std::uint32_t>(width);
    ImageBuffer image;
    image.Allocate(height, width);
    image.CopyPlanes(PlaneGroup::Rgb, Filled(rows, columns, 0), Filled(rows, columns, 100), Filled(rows, columns, 150));
    image.CopyPlanes(PlaneGroup::YCbCr, Filled(rows, columns, 30), Filled(rows, columns, 60), Filled(rows, columns, 90));
    image.chromaCb420 = Filled(rows, columns, 120);
    image.chromaCr420 = Filled(rows, columns, 200);
    return image;
}

TEST(DisplaySet, SlotsStayEmptyUntilBuilt) {
    DisplaySet displays;
    for (int slot = 0; slot < DisplaySet::kSlotCount; ++slot) EXPECT_EQ(displays.GetDisplay(Slot(slot)), nullptr) << slot;
    displays.BuildSourceDisplays(SyntheticImage(2, 2));
    EXPECT_EQ(displays.GetDisplay(Slot(3)), nullptr);
    EXPECT_EQ(displays.GetDisplay(Slot(7)), nullptr);
    EXPECT_NE(displays.GetDisplay(Slot(11)), nullptr);
    displays.FreeDisplays();
    EXPECT_EQ(displays.GetDisplay(Slot(11)), nullptr);
}

TEST(DisplaySet, BitmapRowsAreBottomUpBgrPaddedToFourBytes) {
    DisplaySet displays;
    displays.BuildDecodedDisplays(2, 3, Filled(2, 3, 1), Filled(2, 3, 101), Filled(2, 3, 201));
    const auto colour = displays.GetDisplay(Slot(3));
    ASSERT_NE(colour, nullptr);
    const BitmapInfoHeader& header = colour->header;
    EXPECT_EQ(header.size, 40u);
    EXPECT_EQ(header.width, 3);
    EXPECT_EQ(header.height, 2);
    EXPECT_EQ(header.planes, 1);
    EXPECT_EQ(header.bitCount, 24);
    EXPECT_EQ(header.compression, 0u);
    EXPECT_EQ(header.sizeImage, 24u);
    EXPECT_EQ(header.xPelsPerMeter, 2834);
    EXPECT_EQ(header.yPelsPerMeter, 2834);
    const DisplayBitmap::Bytes expected = {
        // image row 1 first: pixels (1,0), (1,1), (1,2) as B, G, R, then padding
        211, 111, 11, 212, 112, 12, 213, 113, 13, 0, 0, 0,
        201, 101, 1, 202, 102, 2, 203, 103, 3, 0, 0, 0};
    EXPECT_EQ(colour->pixels, expected);

    const auto grey = displays.GetDisplay(Slot(1));
    ASSERT_NE(grey, nullptr);
    EXPECT_EQ(PixelAt(*grey, 0, 2), (Colour{103, 103, 103}));
    EXPECT_EQ(PixelAt(*displays.GetDisplay(Slot(2)), 1, 0), (Colour{211, 211, 211}));
}

TEST(DisplaySet, SourceViewsIncludeHalfSizeChromaWithWidthRoundedDown) {
    DisplaySet displays;
    displays.BuildSourceDisplays(SyntheticImage(3, 5));
    for (int slot = 8; slot <= 14; ++slot) {
        ASSERT_NE(displays.GetDisplay(Slot(slot)), nullptr) << slot;
        EXPECT_EQ(displays.GetDisplay(Slot(slot))->Width(), 5) << slot;
        EXPECT_EQ(displays.GetDisplay(Slot(slot))->Height(), 3) << slot;
    }
    EXPECT_EQ(PixelAt(*displays.GetDisplay(Slot(11)), 2, 4), (Colour{24, 124, 174}));
    EXPECT_EQ(PixelAt(*displays.GetDisplay(Slot(12)), 1, 1), (Colour{41, 41, 41}));
    EXPECT_EQ(PixelAt(*displays.GetDisplay(Slot(14)), 0, 3), (Colour{93, 93, 93}));
    for (int slot : {15, 16}) {
        const auto half = displays.GetDisplay(Slot(slot));
        ASSERT_NE(half, nullptr);
        EXPECT_EQ(half->Width(), 2);
        EXPECT_EQ(half->Height(), 1);
        EXPECT_EQ(half->header.sizeImage, 8u);
    }
    EXPECT_EQ(PixelAt(*displays.GetDisplay(Slot(16)), 0, 1), (Colour{201, 201, 201}));

    displays.BuildSourceDisplays(ImageBuffer());
    EXPECT_EQ(displays.GetDisplay(Slot(8)), nullptr);
}

TEST(DisplaySet, MaskViewsColourEachChannelsMarks) {
    const ImageBuffer image = SyntheticImage(2, 3);
    Plane mask1(2, 3), mask2(2, 3), mask3(2, 3);
    mask1[0][0] = mask2[0][0] = mask3[0][0] = 255;  // all three: white
    mask1[0][1] = mask2[0][1] = 255;                // 1 and 2: yellow
    mask2[1][0] = mask3[1][0] = 200;                // 2 and 3
    mask3[1][2] = 7;                                // 3 only
    DisplaySet displays;
    displays.BuildMaskDisplays(image, kRgb, mask1, mask2, mask3);

    const auto composite = displays.GetDisplay(Slot(7));
    ASSERT_NE(composite, nullptr);
    EXPECT_EQ(PixelAt(*composite, 0, 0), (Colour{255, 255, 255}));
    EXPECT_EQ(PixelAt(*composite, 0, 1), (Colour{255, 255, 0}));
    EXPECT_EQ(PixelAt(*composite, 1, 0), (Colour{0, 200, 200}));
    EXPECT_EQ(PixelAt(*composite, 1, 2), (Colour{0, 0, 7}));
    EXPECT_EQ(PixelAt(*composite, 0, 2), (Colour{2, 102, 152}));  // unmarked: the source

    EXPECT_EQ(PixelAt(*displays.GetDisplay(Slot(4)), 0, 1), (Colour{255, 0, 0}));
    EXPECT_EQ(PixelAt(*displays.GetDisplay(Slot(4)), 1, 0), (Colour{10, 10, 10}));
    EXPECT_EQ(PixelAt(*displays.GetDisplay(Slot(5)), 1, 0), (Colour{0, 200, 0}));
    EXPECT_EQ(PixelAt(*displays.GetDisplay(Slot(6)), 1, 2), (Colour{0, 0, 7}));
    EXPECT_EQ(PixelAt(*displays.GetDisplay(Slot(6)), 0, 1), (Colour{151, 151, 151}));

    displays.BuildMaskDisplays(image, kYCbCr444, mask1, mask2, mask3);
    EXPECT_EQ(PixelAt(*displays.GetDisplay(Slot(5)), 1, 2), (Colour{72, 72, 72}));  // Cb in grey
}

TEST(DisplaySet, FourTwoZeroMasksReadOnlyTheHalfSizeRegion) {
    const ImageBuffer image = SyntheticImage(4, 5);
    // Full-size mask planes, as the quantizer allocates them.
    Plane mask1(4, 5), mask2(4, 5), mask3(4, 5);
    mask2[1][1] = 255;
    mask2[3][4] = 255;  // outside the 2 x 2 chroma region: ignored
    DisplaySet displays;
    displays.BuildMaskDisplays(image, kYCbCr420, mask1, mask2, mask3);

    const auto cb = displays.GetDisplay(Slot(5));
    ASSERT_NE(cb, nullptr);
    EXPECT_EQ(cb->Width(), 2);
    EXPECT_EQ(cb->Height(), 2);
    EXPECT_EQ(PixelAt(*cb, 1, 1), (Colour{0, 255, 0}));
    EXPECT_EQ(PixelAt(*cb, 0, 1), (Colour{121, 121, 121}));
    EXPECT_EQ(displays.GetDisplay(Slot(4))->Width(), 5);

    const auto composite = displays.GetDisplay(Slot(7));
    ASSERT_NE(composite, nullptr);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 5; ++j) {
            const bool marked = i / 2 == 1 && j / 2 == 1;
            const Colour expected = marked ? Colour{0, 255, 0} : Colour{10 * i + j, 100 + 10 * i + j, 150 + 10 * i + j};
            EXPECT_EQ(PixelAt(*composite, i, j), expected) << i << "," << j;
        }
    }
}

TEST(DisplaySet, EmptyOrSmallMasksMarkNothing) {
    const ImageBuffer image = SyntheticImage(2, 3);
    Plane small(1, 1);
    small[0][0] = 255;
    DisplaySet displays;
    displays.BuildMaskDisplays(image, kRgb, Plane(), small, Plane());
    EXPECT_EQ(PixelAt(*displays.GetDisplay(Slot(5)), 0, 0), (Colour{100, 100, 100}));
    EXPECT_EQ(PixelAt(*displays.GetDisplay(Slot(7)), 0, 0), (Colour{0, 100, 150}));
}

// Tall enough for several bands of rows filled on different cores, and with
// padded rows: every pixel where it belongs, every padding byte zero.
TEST(DisplaySet, TallBitmapsHaveEveryRowInPlace) {
    DisplaySet displays;
    const std::uint32_t rows = 203;
    const std::uint32_t columns = 7;
    displays.BuildDecodedDisplays(rows, columns, Filled(rows, columns, 1), Filled(rows, columns, 3), Filled(rows, columns, 5));
    const auto colour = displays.GetDisplay(Slot(3));
    ASSERT_NE(colour, nullptr);
    const std::uint32_t rowBytes = DisplayBitmap::RowBytes(columns);
    ASSERT_EQ(colour->pixels.size(), static_cast<std::size_t>(rowBytes) * rows);
    for (std::uint32_t i = 0; i < rows; ++i) {
        for (std::uint32_t j = 0; j < columns; ++j) {
            const int value = static_cast<std::uint8_t>(10 * i + j);
            ASSERT_EQ(PixelAt(*colour, static_cast<int>(i), static_cast<int>(j)),
                      (Colour{static_cast<std::uint8_t>(value + 1), static_cast<std::uint8_t>(value + 3),
                              static_cast<std::uint8_t>(value + 5)}))
                << i << ", " << j;
        }
        for (std::uint32_t b = 3 * columns; b < rowBytes; ++b) ASSERT_EQ(colour->pixels[i * rowBytes + b], 0);
    }
}

TEST(DisplaySet, RebuildingLeavesAHeldBitmapIntact) {
    DisplaySet displays;
    displays.BuildDecodedDisplays(2, 3, Filled(2, 3, 1), Filled(2, 3, 101), Filled(2, 3, 201));
    const auto held = displays.GetDisplay(Slot(3));
    const DisplayBitmap::Bytes before = held->pixels;
    displays.BuildDecodedDisplays(1, 1, Filled(1, 1, 9), Filled(1, 1, 9), Filled(1, 1, 9));
    EXPECT_EQ(held->pixels, before);
    EXPECT_EQ(held->Width(), 3);
    EXPECT_EQ(displays.GetDisplay(Slot(3))->Width(), 1);
}

}  // namespace
}  // namespace pictora
