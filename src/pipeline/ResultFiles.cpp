#include "pipeline/ResultFiles.h"

#include <algorithm>
#include <cctype>

#include "quantizer/EntropyCoderSlot.h"
#include "pipeline/ImageCompressor.h"
#include "support/FileIO.h"

namespace pictora {
namespace {

std::string LowerExtension(const std::string& path) {
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

Status WriteLosslessFile(const ImageCompressor& compressor, LosslessMode mode, const std::string& path) {
    LosslessImage image;
    if (Status encoded = EncodeLosslessImage(compressor, mode, image); !encoded) return encoded.About(path);
    return WriteFileAtomically(path, image.packed);
}

}  // namespace

ResultFileKind ResultFileKindOf(const std::string& path) {
    const std::string extension = LowerExtension(path);
    if (extension == "mqc") return ResultFileKind::Coded;
    if (extension == "huf") return ResultFileKind::Huffman;
    if (extension == "art") return ResultFileKind::Arithmetic;
    if (extension == "mqz") return ResultFileKind::Contextual;
    if (extension == "cod") return ResultFileKind::Codebook;
    if (extension == "png") return ResultFileKind::Png;
    return ResultFileKind::Unknown;
}

LosslessMode LosslessModeOf(ResultFileKind kind) {
    switch (kind) {
        case ResultFileKind::Huffman: return LosslessMode::Huffman;
        case ResultFileKind::Arithmetic: return LosslessMode::Arithmetic;
        case ResultFileKind::Contextual: return LosslessMode::Contextual;
        default: return LosslessMode::None;
    }
}

Status WriteResultFile(const ImageCompressor& compressor, ResultFileKind kind, const std::string& path) {
    switch (kind) {
        case ResultFileKind::Coded: return compressor.WriteCodedFile(path);
        case ResultFileKind::Huffman:
        case ResultFileKind::Arithmetic:
        case ResultFileKind::Contextual: return WriteLosslessFile(compressor, LosslessModeOf(kind), path);
        case ResultFileKind::Codebook: return compressor.WriteCodebookFile(path);
        case ResultFileKind::Png: return compressor.SaveReconstructionPng(path);
        case ResultFileKind::Unknown: break;
    }
    return Status::Error(ErrorKind::InvalidSetting, path + ": no kind of result file has this extension");
}

Status EncodeLosslessImage(const ImageCompressor& compressor, LosslessMode mode, LosslessImage& image) {
    LosslessImage encoded;
    if (Status coded = compressor.EncodeCodedImage(encoded.coded); !coded) return coded;
    if (Status packed = EncodeBytesWith(mode, encoded.coded, encoded.packed); !packed) return packed;
    image = std::move(encoded);
    return Status::Ok();
}

double LosslessImage::Ratio() const {
    return coded.empty() ? 0.0 : static_cast<double>(packed.size()) / static_cast<double>(coded.size());
}

Status ReadCodedImageFile(const std::string& path, std::vector<std::uint8_t>& coded) {
    const ResultFileKind kind = ResultFileKindOf(path);
    if (kind != ResultFileKind::Coded && LosslessModeOf(kind) == LosslessMode::None)
        return Status::Error(ErrorKind::InvalidSetting, path + ": not a coded image (.mqc, .huf, .art or .mqz)")
            .Concerning(path);
    std::vector<std::uint8_t> bytes;
    if (Status read = ReadWholeFile(path, bytes); !read) return read;
    if (kind != ResultFileKind::Coded) {
        std::vector<std::uint8_t> unpacked;
        if (Status status = DecodeBytesWith(LosslessModeOf(kind), bytes, unpacked); !status) return status.About(path);
        bytes.swap(unpacked);
    }
    coded = std::move(bytes);
    return Status::Ok();
}

Status DecodeResultFile(ImageCompressor& compressor, const std::string& path, std::size_t* codedSize) {
    std::vector<std::uint8_t> bytes;
    if (Status read = ReadCodedImageFile(path, bytes); !read) return read;
    if (Status decoded = compressor.DecodeCodedImage(bytes); !decoded) return decoded.About(path);
    if (codedSize != nullptr) *codedSize = bytes.size();
    return Status::Ok();
}

}  // namespace pictora
