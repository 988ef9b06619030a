#include "image/PngLayout.h"

#include <libdeflate.h>

#include <algorithm>

namespace pictora {
namespace {

std::uint32_t BigEndian32(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) |
           bytes[3];
}

bool IsLetter(std::uint8_t byte) { return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z'); }

// Bit 5 of the first type byte is clear in the name of a critical chunk.
bool IsCritical(const std::uint8_t* type) { return (type[0] & 0x20) == 0; }

bool DepthSuits(PngColourType type, std::uint8_t depth) {
    switch (type) {
        case PngColourType::Grey: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
        case PngColourType::Palette: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
        case PngColourType::Rgb:
        case PngColourType::GreyAlpha:
        case PngColourType::RgbAlpha: return depth == 8 || depth == 16;
    }
    return false;
}

bool ReadHeaderChunk(std::span<const std::uint8_t> data, PngHeader& header, std::string& error) {
    if (data.size() != 13) {
        error = "its IHDR chunk holds " + std::to_string(data.size()) + " bytes, not 13";
        return false;
    }
    header.width = BigEndian32(data.data());
    header.height = BigEndian32(data.data() + 4);
    header.bitDepth = data[8];
    const std::uint8_t type = data[9];
    if (header.width == 0 || header.height == 0 || header.width > kPngMaxChunkLength ||
        header.height > kPngMaxChunkLength) {
        error = "its header declares " + std::to_string(header.width) + " x " + std::to_string(header.height) +
                " pixels";
        return false;
    }
    if (type > 6 || type == 1 || type == 5) {
        error = "its header declares colour type " + std::to_string(type);
        return false;
    }
    header.colourType = static_cast<PngColourType>(type);
    if (!DepthSuits(header.colourType, header.bitDepth)) {
        error = "its header declares " + std::to_string(header.bitDepth) + "-bit samples for colour type " +
                std::to_string(type);
        return false;
    }
    if (data[10] != 0 || data[11] != 0 || data[12] > 1) {
        error = "its header declares compression method " + std::to_string(data[10]) + ", filter method " +
                std::to_string(data[11]) + " and interlace method " + std::to_string(data[12]);
        return false;
    }
    header.interlaced = data[12] == 1;
    return true;
}

}  // namespace

bool ReadPngLayout(std::span<const std::uint8_t> file, PngLayout& layout, std::string& error) {
    layout = PngLayout{};
    if (file.size() < kPngSignature.size() || !std::equal(kPngSignature.begin(), kPngSignature.end(), file.begin())) {
        error = "not a PNG file";
        return false;
    }
    bool haveHeader = false;
    bool havePalette = false;
    bool dataRunOver = false;  // a chunk other than IDAT came after IDAT chunks
    std::size_t position = kPngSignature.size();
    while (true) {
        if (file.size() - position < 8) {
            error = "the file ends before its IEND chunk";
            return false;
        }
        const std::uint32_t length = BigEndian32(file.data() + position);
        const std::uint8_t* type = file.data() + position + 4;
        if (length > kPngMaxChunkLength || !std::all_of(type, type + 4, IsLetter)) {
            error = "a chunk at byte " + std::to_string(position) + " has no valid length and type";
            return false;
        }
        const std::string name(type, type + 4);
        if (file.size() - position - 8 < std::uint64_t{length} + 4) {
            error = "the file ends inside its " + name + " chunk";
            return false;
        }
        const std::span<const std::uint8_t> data = file.subspan(position + 8, length);
        position += std::size_t{12} + length;
        if (!haveHeader && name != "IHDR") {
            error = "its first chunk is " + name + ", not IHDR";
            return false;
        }
        if (!IsCritical(type)) {
            if (!layout.imageData.empty()) dataRunOver = true;
            continue;  // nothing here reads them, so neither is their CRC checked
        }
        if (libdeflate_crc32(0, type, std::size_t{4} + length) != BigEndian32(data.data() + length)) {
            error = "CRC error in its " + name + " chunk";
            return false;
        }
        if (name == "IHDR") {
            if (haveHeader) {
                error = "it has a second IHDR chunk";
                return false;
            }
            if (!ReadHeaderChunk(data, layout.header, error)) return false;
            haveHeader = true;
        } else if (name == "PLTE") {
            if (havePalette) {
                error = "it has a second PLTE chunk";
                return false;
            }
            havePalette = true;
            if (!layout.imageData.empty()) dataRunOver = true;
        } else if (name == "IDAT") {
            if (dataRunOver) continue;  // the image data were complete before these
            layout.imageData.push_back(data);
            layout.imageDataBytes += length;
        } else if (name == "IEND") {
            break;
        } else {
            error = "it has a critical chunk " + name + " this reader does not know";
            return false;
        }
    }
    if (layout.imageData.empty()) {
        error = "it has no image data (IDAT chunk)";
        return false;
    }
    return true;
}

}  // namespace pictora
