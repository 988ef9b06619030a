#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/RgbImage.h"
#include "support/RowArrival.h"
#include "support/Status.h"

namespace pictora {

// RGB images read from and written to PNG files (PngReader, PngWriter).
// Reads RGB files without alpha (colour type 2); 16-bit samples are cut to
// their high 8 bits, since everything downstream works on 8-bit planes.
// Writes 8-bit RGB, or one plane as greyscale. A failure leaves the image as
// it was and says why: the file system refused the file (FileAccess), an
// image this program does not read, not RGB or too large
// (UnsupportedImage), or damaged data (DamagedFile); messages of files name
// the file first, and it is their subject.

// The largest side read, which keeps the sample count of a plane within 32
// bits for the quality measure.
inline constexpr std::uint32_t kPngMaxSide = 65535;
// The most pixels read: the coding pipeline keeps some twenty planes of the
// image's size, which at this size take about 5 GiB.
inline constexpr std::uint64_t kPngMaxPixels = std::uint64_t{1} << 28;

// Which planes a PNG written from an image holds: the three as RGB, or one
// of them as greyscale.
enum class PngPlanes { Rgb, Red, Green, Blue };

Status ReadPngFile(const std::string& path, RgbImage& image);
// Whether ReadPngFile would take the file, as far as its header tells (it is
// readable, a PNG, RGB and not too large); the pixels are not decoded.
Status CheckPngFile(const std::string& path);
// ReadPngFile from the bytes of a PNG file held in memory; messages name no file.
Status DecodePngImage(std::span<const std::uint8_t> file, RgbImage& image);
// Decodes straight into the image's own planes, so that other threads can
// use the top rows while later ones are still being inflated: once the
// header is checked the planes are sized and Publish(0) is told, then every
// row as it is done, and Close at the end. On failure the planes keep what
// was decoded (someone may still be reading them), and the caller discards
// the image.
Status DecodePngInPlace(std::span<const std::uint8_t> file, RgbImage& image, RowArrival& arrival);
// The file is written beside `path` and renamed over it, so a failed write
// never leaves a truncated file behind.
Status WritePngFile(const RgbImage& image, PngPlanes planes, const std::string& path);
// WritePngFile into `encoded` in memory (left as it was on failure).
Status EncodePngImage(const RgbImage& image, PngPlanes planes, std::vector<std::uint8_t>& encoded);

}  // namespace pictora
