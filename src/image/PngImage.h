#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/RgbImage.h"
#include "support/RowArrival.h"
#include "support/Status.h"

namespace pictora {

struct PngHeader;

// The RgbImage read from and written to PNG files (PngReader, PngWriter).
// Reads RGB files without alpha (colour type 2); 16-bit samples are cut to
// their high 8 bits, since everything downstream works on 8-bit planes.
// Writes 8-bit RGB, or one plane as greyscale. A failure leaves the size and
// planes as they were and a message naming the file in LastError().
class PngImage : public RgbImage {
public:
    // Result codes of Load and Save.
    static constexpr int kOk = 0;
    static constexpr int kCannotOpen = 1;    // the file system refused to read or write the file
    static constexpr int kNotRgb = 2;        // colour type other than RGB without alpha
    static constexpr int kDamaged = 3;       // a damaged file
    static constexpr int kUnsupported = 4;   // a side beyond kMaxSide, or nothing valid to write
    // The largest side read, which keeps the sample count of a plane within
    // 32 bits for the quality measure.
    static constexpr std::uint32_t kMaxSide = 65535;
    // The most pixels read: the coding pipeline keeps some twenty planes of
    // the image's size, which at this size take about 5 GiB.
    static constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 28;

    int Load(const std::string& path) override;
    // Whether Load would take the file, as far as its header tells (it is
    // readable, a PNG, RGB and not too large); the pixels are not decoded and
    // the image is left as it was. Load's codes and messages.
    int CheckFile(const std::string& path);
    // Load from the bytes of a PNG file held in memory; messages name no file.
    int Decode(std::span<const std::uint8_t> file);
    // Decodes straight into this image's own planes, so that other threads
    // can use the top rows while later ones are still being inflated: once
    // the header is checked the planes are sized and Publish(0) is told, then
    // every row as it is done, and Close at the end. On failure the planes
    // keep what was decoded (someone may still be reading them), and the
    // caller discards the image.
    int DecodeInPlace(std::span<const std::uint8_t> file, RowArrival& arrival);
    // Selector 0 writes an RGB image, 1, 2 or 3 the red, green or blue plane
    // as greyscale. The file is written beside `path` and renamed over it, so
    // a failed save never leaves a truncated file behind.
    int Save(const std::string& path, int selector) override;
    // Save into `encoded` in memory (left as it was on failure).
    int Encode(int selector, std::vector<std::uint8_t>& encoded);
    // Gives the image zero-filled planes of that (non-negative) size, ready
    // to be filled and saved; an image already of that size is left as it is.
    void Resize(std::int32_t height, std::int32_t width);
    const std::string& LastError() const { return lastError_; }
    // The outcome `result` of the last Load, Decode, Save or Encode as a Status
    // with its kind: the file system, an unsupported image or damaged data.
    Status LastStatus(int result) const;

    std::uint8_t colorType = 0;  // of the file last read, or 2 (RGB) / 0 (grey) last written
    std::uint8_t bitDepth = 0;   // of the file last read, or 8 when writing

private:
    bool PlanesMatchSize() const;
    // Refuses a header Load does not take; records its colour type and depth.
    int CheckHeader(const PngHeader& header);
    int Fail(int code, std::string message);
    // Decode's work: into planes aside, moved in at the end, or with an
    // arrival into the image's own planes from the start.
    int DecodeRows(std::span<const std::uint8_t> file, RowArrival* arrival);

    std::string lastError_;
};

}  // namespace pictora
