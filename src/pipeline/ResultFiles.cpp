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
    if (extension == "cod") return ResultFileKind::Codebook;
    if (extension == "png") return ResultFileKind::Png;
    return ResultFileKind::Unknown;
}

Status WriteResultFile(const ImageCompressor& compressor, ResultFileKind kind, const std::string& path) {
    switch (kind) {
        case ResultFileKind::Coded: return compressor.WriteCodedFile(path);
        case ResultFileKind::Huffman: return WriteLosslessFile(compressor, LosslessMode::Huffman, path);
        case ResultFileKind::Arithmetic: return WriteLosslessFile(compressor, LosslessMode::Arithmetic, path);
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

Status DecodeResultFile(ImageCompressor& compressor, const std::string& path, std::size_t* codedSize) {
    const ResultFileKind kind = ResultFileKindOf(path);
    if (kind != ResultFileKind::Coded && kind != ResultFileKind::Huffman && kind != ResultFileKind::Arithmetic)
        return Status::Error(ErrorKind::InvalidSetting, path + ": not a coded image (.mqc, .huf or .art)").Concerning(path);
    std::vector<std::uint8_t> bytes, coded;
    if (Status read = ReadWholeFile(path, bytes); !read) return read;
    if (kind != ResultFileKind::Coded) {
        const LosslessMode mode = kind == ResultFileKind::Huffman ? LosslessMode::Huffman : LosslessMode::Arithmetic;
        if (Status unpacked = DecodeBytesWith(mode, bytes, coded); !unpacked) return unpacked.About(path);
        bytes.swap(coded);
    }
    if (Status decoded = compressor.DecodeCodedImage(bytes); !decoded) return decoded.About(path);
    if (codedSize != nullptr) *codedSize = bytes.size();
    return Status::Ok();
}

}  // namespace pictora
