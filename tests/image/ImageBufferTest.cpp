#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/AllocationFailure.h"
#include "common/SyntheticPng.h"
#include "common/TempFolder.h"
#include "image/ColorConversion.h"
#include "image/ImageBuffer.h"
#include "support/FileIO.h"

namespace pictora {
namespace {

using testing::TempFolder;
using testing::TestData;

void ExpectEmpty(const ImageBuffer& buffer) {
    EXPECT_EQ(buffer.GetHeight(), 0);
    EXPECT_EQ(buffer.GetWidth(), 0);
    EXPECT_EQ(buffer.rgb, nullptr);
    for (const Plane* plane :
         {&buffer.lumaY, &buffer.chromaCb, &buffer.chromaCr, &buffer.chromaCb420, &buffer.chromaCr420}) {
        EXPECT_TRUE(plane->Empty());
    }
}

TEST(ImageBuffer, AllocateReplacesALoadedImageWithoutFourTwoZeroPlanes) {
    ImageBuffer buffer;
    buffer.Release();
    ExpectEmpty(buffer);
    ASSERT_TRUE(buffer.LoadPng(TestData("photo64-a.png")));
    buffer.Allocate(3, 5);
    EXPECT_EQ(buffer.GetHeight(), 3);
    EXPECT_EQ(buffer.GetWidth(), 5);
    EXPECT_EQ(buffer.rgb->blue, Plane(3, 5));
    EXPECT_EQ(buffer.chromaCr, Plane(3, 5));
    EXPECT_TRUE(buffer.chromaCb420.Empty());
    EXPECT_TRUE(buffer.chromaCr420.Empty());
}

TEST(ImageBuffer, CopyPlanesWritesOnlyTheTargetGroup) {
    ImageBuffer buffer;
    buffer.Allocate(2, 3);
    Plane a(2, 3), b(2, 3), c(2, 3);
    a.Fill(1);
    b.Fill(2);
    c.Fill(3);
    buffer.CopyPlanes(PlaneGroup::Rgb, a, b, c);
    EXPECT_EQ(buffer.rgb->red, a);
    EXPECT_EQ(buffer.rgb->blue, c);
    EXPECT_EQ(buffer.lumaY[1][2], 0);

    Plane wider(4, 5);
    wider.Fill(9);
    buffer.CopyPlanes(PlaneGroup::YCbCr, wider, wider, wider);
    EXPECT_EQ(buffer.chromaCb[1][2], 9);
    EXPECT_EQ(buffer.chromaCr.Width(), 3u);
    EXPECT_EQ(buffer.rgb->green, b);
}

TEST(ImageBuffer, LoadPngDerivesLumaChromaAndFourTwoZero) {
    TempFolder folder;
    const std::string path = folder.File("odd.png");
    ASSERT_TRUE(testing::WriteSyntheticPng(path, 5, 3, [](int i, int j, int k) { return 40 * i + 13 * j + 60 * k; }));
    ImageBuffer buffer;
    ASSERT_TRUE(buffer.LoadPng(path));
    ASSERT_EQ(buffer.GetHeight(), 5);
    ASSERT_EQ(buffer.GetWidth(), 3);

    Plane y(5, 3), cb(5, 3), cr(5, 3);
    RgbToYCbCr(5, 3, buffer.rgb->red, buffer.rgb->green, buffer.rgb->blue, y, cb, cr);
    EXPECT_EQ(buffer.lumaY, y);
    EXPECT_EQ(buffer.chromaCb, cb);
    EXPECT_EQ(buffer.chromaCr, cr);

    // Decimated samples in rows 0..1, column 0; full-resolution chroma elsewhere.
    ASSERT_EQ(buffer.chromaCb420.Height(), 5u);
    ASSERT_EQ(buffer.chromaCb420.Width(), 3u);
    for (std::uint32_t i = 0; i < 5; ++i) {
        for (std::uint32_t j = 0; j < 3; ++j) {
            const bool decimated = i < 2 && j < 1;
            EXPECT_EQ(buffer.chromaCb420[i][j], decimated ? cb[2 * i][2 * j] : cb[i][j]) << i << "," << j;
            EXPECT_EQ(buffer.chromaCr420[i][j], decimated ? cr[2 * i][2 * j] : cr[i][j]) << i << "," << j;
        }
    }
}

TEST(ImageBuffer, PlanesLeftForLaterAreDerivedAsALoadDerivesThem) {
    std::vector<std::uint8_t> file;
    ASSERT_TRUE(ReadWholeFile(TestData("photo64-b.png"), file));
    ImageBuffer atLoad;
    ASSERT_TRUE(atLoad.DecodePng(file, "b"));
    EXPECT_TRUE(atLoad.HasYCbCrPlanes());

    ImageBuffer later;
    ASSERT_TRUE(later.DecodePng(file, "b", DerivedPlanes::OnRequest));
    EXPECT_FALSE(later.HasYCbCrPlanes());
    EXPECT_TRUE(later.lumaY.Empty());
    EXPECT_TRUE(later.chromaCr420.Empty());
    EXPECT_EQ(later.rgb->blue, atLoad.rgb->blue);

    later.DeriveYCbCrPlanes();
    later.rgb->red.Fill(0);  // a second call must not derive again
    later.DeriveYCbCrPlanes();
    EXPECT_EQ(later.lumaY, atLoad.lumaY);
    EXPECT_EQ(later.chromaCb, atLoad.chromaCb);
    EXPECT_EQ(later.chromaCr, atLoad.chromaCr);
    EXPECT_EQ(later.chromaCb420, atLoad.chromaCb420);
    EXPECT_EQ(later.chromaCr420, atLoad.chromaCr420);

    ImageBuffer empty;
    empty.DeriveYCbCrPlanes();
    ExpectEmpty(empty);
}

// Memory running out while the planes are derived leaves none of them, so a
// later call derives them all rather than finding some and skipping.
TEST(ImageBuffer, DerivingPlanesIsAllOrNothing) {
    std::vector<std::uint8_t> file;
    ASSERT_TRUE(ReadWholeFile(TestData("photo64-b.png"), file));
    ImageBuffer atLoad;
    ASSERT_TRUE(atLoad.DecodePng(file, "b"));
    for (std::int64_t granted = 0; granted < 5; ++granted) {
        ImageBuffer later;
        ASSERT_TRUE(later.DecodePng(file, "b", DerivedPlanes::OnRequest));
        {
            testing::AllocationFailure failure(64 * 64, granted);
            EXPECT_THROW(later.DeriveYCbCrPlanes(), std::bad_alloc) << granted;
        }
        EXPECT_FALSE(later.HasYCbCrPlanes()) << granted;
        later.DeriveYCbCrPlanes();
        EXPECT_EQ(later.lumaY, atLoad.lumaY);
        EXPECT_EQ(later.chromaCr, atLoad.chromaCr);
        EXPECT_EQ(later.chromaCr420, atLoad.chromaCr420);
    }
}

TEST(ImageBuffer, FailedLoadPngLeavesTheBufferEmptyWithAClearMessage) {
    TempFolder folder;
    const std::string truncated = folder.File("truncated.png");
    std::filesystem::copy_file(TestData("photo64-b.png"), truncated);
    std::filesystem::resize_file(truncated, 300);

    const struct {
        std::string path;
        std::string reason;
    } cases[] = {
        {folder.File("absent.png"), "cannot open"},
        {TestData("refuse/palette-64.png"), "not an RGB PNG (colour type 3)"},
        {TestData("refuse/gray4-32.png"), "not an RGB PNG (colour type 0)"},
        {truncated, "damaged PNG: "},
    };
    for (const auto& c : cases) {
        ImageBuffer buffer;
        ASSERT_TRUE(buffer.LoadPng(TestData("photo64-a.png")));
        const Status status = buffer.LoadPng(c.path);
        EXPECT_FALSE(status);
        EXPECT_NE(status.message().find(c.path), std::string::npos) << status.message();
        EXPECT_NE(status.message().find(c.reason), std::string::npos) << status.message();
        ExpectEmpty(buffer);
    }
}

}  // namespace
}  // namespace pictora
