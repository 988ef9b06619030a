#include "image/PngImage.h"

#include <span>
#include <utility>
#include <vector>

#include "image/PngReader.h"
#include "image/PngWriter.h"
#include "support/FileIO.h"

namespace pictora {
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
    const int result = reader.ReadHeader(header) ? CheckHeader(header) : Fail(kDamaged, "damaged PNG: " + reader.Error());
    if (result != kOk) lastError_ = path + ": " + lastError_;
    return result;
}

int PngImage::CheckHeader(const PngHeader& header) {
    colorType = static_cast<std::uint8_t>(header.colourType);
    bitDepth = header.bitDepth;
    if (header.colourType != PngColourType::Rgb) {
        return Fail(kNotRgb, "not an RGB PNG (colour type " + std::to_string(colorType) + ")");
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
    if (!reader.ReadHeader(header)) return Fail(kDamaged, "damaged PNG: " + reader.Error());
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
    const auto rowsDone = [arrival](std::uint32_t rows) {
        if (arrival != nullptr) arrival->Publish(rows);
    };
    if (!reader.ReadRgbPlanes(*targets[0], *targets[1], *targets[2], rowsDone))
        return Fail(kDamaged, "damaged PNG: " + reader.Error());
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
    colorType = static_cast<std::uint8_t>(selector == 0 ? PngColourType::Rgb : PngColourType::Grey);
    bitDepth = 8;
    const Plane* const all[] = {&red, &green, &blue};
    const std::span<const Plane* const> planes(selector == 0 ? all : all + selector - 1, selector == 0 ? 3 : 1);
    encoded = EncodePng(planes, static_cast<std::uint32_t>(height), static_cast<std::uint32_t>(width));
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
