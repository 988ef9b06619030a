#include "image/PngImage.h"

#include <utility>
#include <vector>

#include "image/PngReader.h"
#include "image/PngWriter.h"
#include "support/FileIO.h"

namespace pictora {
namespace {

// The row-pointer array libpng reads into or writes from.
std::vector<png_bytep> RowPointers(Plane& rows) { return {rows.Rows(), rows.Rows() + rows.Height()}; }

// The rows as written: R, G, B triples for selector 0, else the samples of
// plane 1, 2 or 3 (red, green, blue).
Plane PixelRows(const RgbImage& image, int selector) {
    const auto rowCount = static_cast<std::uint32_t>(image.height);
    const auto columns = static_cast<std::uint32_t>(image.width);
    if (selector != 0) {
        const Plane* const planes[] = {&image.red, &image.green, &image.blue};
        return *planes[selector - 1];
    }
    Plane pixels(rowCount, 3 * columns);
    for (std::uint32_t i = 0; i < rowCount; ++i) {
        for (std::uint32_t j = 0; j < columns; ++j) {
            pixels[i][3 * j] = image.red[i][j];
            pixels[i][3 * j + 1] = image.green[i][j];
            pixels[i][3 * j + 2] = image.blue[i][j];
        }
    }
    return pixels;
}

}  // namespace

int PngImage::Load(const std::string& path) {
    std::vector<std::uint8_t> file;
    if (Status read = ReadWholeFile(path, file); !read) return Fail(kCannotOpen, read.message());
    const int result = Decode(file);
    if (result != kOk) lastError_ = path + ": " + lastError_;
    return result;
}

int PngImage::CheckFile(const std::string& path) {
    std::vector<std::uint8_t> file;
    if (Status read = ReadWholeFile(path, file); !read) return Fail(kCannotOpen, read.message());
    PngReader reader(file);
    PngHeader header;
    const int result = reader.ReadHeader(header) ? CheckHeader(header) : Fail(kLibpngError, "damaged PNG: " + reader.Error());
    if (result != kOk) lastError_ = path + ": " + lastError_;
    return result;
}

int PngImage::CheckHeader(const PngHeader& header) {
    colorType = static_cast<std::uint8_t>(header.colorType);
    bitDepth = static_cast<std::uint8_t>(header.bitDepth);
    if (header.colorType != PNG_COLOR_TYPE_RGB) {
        return Fail(kNotRgb, "not an RGB PNG (colour type " + std::to_string(header.colorType) + ")");
    }
    if (header.width > kMaxSide || header.height > kMaxSide) {
        return Fail(kUnsupported, std::to_string(header.width) + " x " + std::to_string(header.height) +
                                      " pixels, more than " + std::to_string(kMaxSide) + " on a side");
    }
    if (static_cast<std::uint64_t>(header.width) * header.height > kMaxPixels) {
        return Fail(kUnsupported, std::to_string(header.width) + " x " + std::to_string(header.height) +
                                      " pixels, more than " + std::to_string(kMaxPixels) + " in all");
    }
    return kOk;
}

int PngImage::Decode(std::span<const std::uint8_t> file) { return DecodeRows(file, nullptr); }

int PngImage::DecodeInPlace(std::span<const std::uint8_t> file, RowArrival& arrival) {
    const int result = DecodeRows(file, &arrival);
    arrival.Close();
    return result;
}

int PngImage::DecodeRows(std::span<const std::uint8_t> file, RowArrival* arrival) {
    PngReader reader(file);
    PngHeader header;
    if (!reader.ReadHeader(header)) return Fail(kLibpngError, "damaged PNG: " + reader.Error());
    if (const int checked = CheckHeader(header); checked != kOk) return checked;

    // Without an arrival the planes are filled aside, so that a damaged file
    // leaves the image as it was.
    Plane aside[3];
    Plane* targets[3] = {&aside[0], &aside[1], &aside[2]};
    if (arrival != nullptr) {
        height = static_cast<std::int32_t>(header.height);
        width = static_cast<std::int32_t>(header.width);
        targets[0] = &red;
        targets[1] = &green;
        targets[2] = &blue;
    }
    for (Plane* plane : targets) plane->Allocate(header.height, header.width);
    if (arrival != nullptr) arrival->Publish(0);
    const auto split = [&targets, columns = header.width](const std::uint8_t* pixels, std::uint32_t i) {
        std::uint8_t* r = (*targets[0])[i];
        std::uint8_t* g = (*targets[1])[i];
        std::uint8_t* b = (*targets[2])[i];
        for (std::uint32_t j = 0; j < columns; ++j) {
            r[j] = pixels[3 * j];
            g[j] = pixels[3 * j + 1];
            b[j] = pixels[3 * j + 2];
        }
    };
    if (header.interlaced) {
        // Later passes fill in rows of earlier ones: the whole image is kept.
        Plane pixels(header.height, static_cast<std::uint32_t>(header.rowBytes));
        std::vector<png_bytep> rows = RowPointers(pixels);
        if (!reader.ReadRows(rows.data())) return Fail(kLibpngError, "damaged PNG: " + reader.Error());
        for (std::uint32_t i = 0; i < header.height; ++i) split(pixels[i], i);
        if (arrival != nullptr) arrival->Publish(header.height);
    } else {
        std::vector<std::uint8_t> row(header.rowBytes);
        const auto take = [&](std::uint32_t i) {
            split(row.data(), i);
            // Every few rows, so that threads waiting for rows wake seldom.
            constexpr std::uint32_t kRowsPerPublish = 16;
            if (arrival != nullptr && ((i + 1) % kRowsPerPublish == 0 || i + 1 == header.height))
                arrival->Publish(i + 1);
        };
        if (!reader.ReadRowByRow(row.data(), take)) return Fail(kLibpngError, "damaged PNG: " + reader.Error());
    }
    if (arrival != nullptr) return kOk;

    height = static_cast<std::int32_t>(header.height);
    width = static_cast<std::int32_t>(header.width);
    red = std::move(aside[0]);
    green = std::move(aside[1]);
    blue = std::move(aside[2]);
    return kOk;
}

int PngImage::Save(const std::string& path, int selector) {
    std::vector<std::uint8_t> encoded;
    if (const int result = Encode(selector, encoded); result != kOk) {
        lastError_ = path + ": " + lastError_;
        return result;
    }
    if (Status written = WriteFileAtomically(path, encoded); !written) return Fail(kCannotOpen, written.message());
    return kOk;
}

int PngImage::Encode(int selector, std::vector<std::uint8_t>& encoded) {
    if (selector < 0 || selector > 3) {
        return Fail(kUnsupported, "no plane to write for selector " + std::to_string(selector));
    }
    if (height <= 0 || width <= 0 || !PlanesMatchSize()) {
        return Fail(kUnsupported, "the image has no planes of its size to write");
    }
    colorType = selector == 0 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY;
    bitDepth = 8;

    Plane pixels = PixelRows(*this, selector);
    std::vector<std::uint8_t> bytes;
    std::vector<png_bytep> rows = RowPointers(pixels);
    PngWriter writer(bytes);
    if (!writer.Write(static_cast<std::uint32_t>(width), pixels.Height(), colorType, rows.data())) {
        return Fail(kLibpngError, "libpng error: " + writer.Error());
    }
    encoded = std::move(bytes);
    return kOk;
}

Status PngImage::LastStatus(int result) const {
    switch (result) {
        case kOk: return Status::Ok();
        case kCannotOpen: return Status::Error(ErrorKind::FileAccess, lastError_);
        case kNotRgb:
        case kUnsupported: return Status::Error(ErrorKind::UnsupportedImage, lastError_);
        default: return Status::Error(ErrorKind::DamagedFile, lastError_);
    }
}

void PngImage::Resize(std::int32_t newHeight, std::int32_t newWidth) {
    if (height == newHeight && width == newWidth && PlanesMatchSize()) return;
    height = newHeight;
    width = newWidth;
    red.Allocate(static_cast<std::uint32_t>(height), static_cast<std::uint32_t>(width));
    green.Allocate(static_cast<std::uint32_t>(height), static_cast<std::uint32_t>(width));
    blue.Allocate(static_cast<std::uint32_t>(height), static_cast<std::uint32_t>(width));
}

bool PngImage::PlanesMatchSize() const {
    const auto rows = static_cast<std::uint32_t>(height);
    const auto columns = static_cast<std::uint32_t>(width);
    for (const Plane* plane : {&red, &green, &blue}) {
        if (plane->Height() != rows || plane->Width() != columns) return false;
    }
    return true;
}

int PngImage::Fail(int code, std::string message) {
    lastError_ = std::move(message);
    return code;
}

}  // namespace pictora
