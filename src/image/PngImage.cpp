#include "image/PngImage.h"

#include <span>
#include <utility>
#include <vector>

#include "image/PngReader.h"
#include "image/PngWriter.h"
#include "support/FileIO.h"

namespace pictora {
namespace {

Status Damaged(const PngReader& reader) { return Status::Error(ErrorKind::DamagedFile, "damaged PNG: " + reader.Error()); }

// Refuses a header the reader does not take.
Status CheckHeader(const PngHeader& header) {
    if (header.colourType != PngColourType::Rgb) {
        return Status::Error(ErrorKind::UnsupportedImage, "not an RGB PNG (colour type " +
                                                              std::to_string(static_cast<int>(header.colourType)) + ")");
    }
    if (header.width > kPngMaxSide || header.height > kPngMaxSide) {
        return Status::Error(ErrorKind::UnsupportedImage, std::to_string(header.width) + " x " +
                                                              std::to_string(header.height) + " pixels, more than " +
                                                              std::to_string(kPngMaxSide) + " on a side");
    }
    if (static_cast<std::uint64_t>(header.width) * header.height > kPngMaxPixels) {
        return Status::Error(ErrorKind::UnsupportedImage, std::to_string(header.width) + " x " +
                                                              std::to_string(header.height) + " pixels, more than " +
                                                              std::to_string(kPngMaxPixels) + " in all");
    }
    return Status::Ok();
}

// The decoding itself: into planes aside, moved in at the end, or with an
// arrival into the image's own planes from the start.
Status DecodeRows(std::span<const std::uint8_t> file, RgbImage& image, RowArrival* arrival) {
    PngReader reader(file);
    PngHeader header;
    if (!reader.ReadHeader(header)) return Damaged(reader);
    if (Status checked = CheckHeader(header); !checked) return checked;

    // Without an arrival the planes are filled aside, so that a damaged file
    // leaves the image as it was.
    Plane aside[3];
    Plane* targets[3] = {&aside[0], &aside[1], &aside[2]};
    if (arrival != nullptr) {
        image.height = static_cast<std::int32_t>(header.height);
        image.width = static_cast<std::int32_t>(header.width);
        targets[0] = &image.red;
        targets[1] = &image.green;
        targets[2] = &image.blue;
    }
    const auto rowsDone = [arrival](std::uint32_t rows) {
        if (arrival != nullptr) arrival->Publish(rows);
    };
    if (!reader.ReadRgbPlanes(*targets[0], *targets[1], *targets[2], rowsDone)) return Damaged(reader);
    if (arrival != nullptr) return Status::Ok();

    image.height = static_cast<std::int32_t>(header.height);
    image.width = static_cast<std::int32_t>(header.width);
    image.red = std::move(aside[0]);
    image.green = std::move(aside[1]);
    image.blue = std::move(aside[2]);
    return Status::Ok();
}

// A failure of a file's contents, named after the file.
Status AboutFile(const Status& status, const std::string& path) {
    if (status) return status;
    return Status::Error(status.kind(), path + ": " + status.message()).Concerning(path);
}

Status ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& file) {
    if (Status read = ReadWholeFile(path, file); !read)
        return Status::Error(ErrorKind::FileAccess, read.message()).Concerning(path);
    return Status::Ok();
}

}  // namespace

Status ReadPngFile(const std::string& path, RgbImage& image) {
    std::vector<std::uint8_t> file;
    if (Status read = ReadFileBytes(path, file); !read) return read;
    return AboutFile(DecodePngImage(file, image), path);
}

Status CheckPngFile(const std::string& path) {
    std::vector<std::uint8_t> file;
    if (Status read = ReadFileBytes(path, file); !read) return read;
    PngReader reader(file);
    PngHeader header;
    return AboutFile(reader.ReadHeader(header) ? CheckHeader(header) : Damaged(reader), path);
}

Status DecodePngImage(std::span<const std::uint8_t> file, RgbImage& image) { return DecodeRows(file, image, nullptr); }

Status DecodePngInPlace(std::span<const std::uint8_t> file, RgbImage& image, RowArrival& arrival) {
    Status decoded = DecodeRows(file, image, &arrival);
    arrival.Close();
    return decoded;
}

Status WritePngFile(const RgbImage& image, PngPlanes planes, const std::string& path) {
    std::vector<std::uint8_t> encoded;
    if (Status status = EncodePngImage(image, planes, encoded); !status) return AboutFile(status, path);
    if (Status written = WriteFileAtomically(path, encoded); !written)
        return Status::Error(ErrorKind::FileAccess, written.message()).Concerning(path);
    return Status::Ok();
}

Status EncodePngImage(const RgbImage& image, PngPlanes planes, std::vector<std::uint8_t>& encoded) {
    if (image.height <= 0 || image.width <= 0 || !image.PlanesMatchSize())
        return Status::Error(ErrorKind::UnsupportedImage, "the image has no planes of its size to write");
    const Plane* const all[] = {&image.red, &image.green, &image.blue};
    const std::size_t first = planes == PngPlanes::Rgb ? 0 : static_cast<std::size_t>(planes) - 1;
    const std::span<const Plane* const> chosen(all + first, planes == PngPlanes::Rgb ? 3 : 1);
    encoded = EncodePng(chosen, static_cast<std::uint32_t>(image.height), static_cast<std::uint32_t>(image.width));
    return Status::Ok();
}

}  // namespace pictora
