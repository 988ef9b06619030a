#include "pipeline/ResultFiles.h"

#include <algorithm>
#include <cctype>

#include "entropy/EntropyCoderSlot.h"
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

Status WriteLosslessFile(const ImageCompressor& compressor, int entropyMode, const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::size_t codedSize = 0;
    if (Status encoded = EncodeLosslessImage(compressor, entropyMode, bytes, codedSize); !encoded)
        return Status::Error(path + ": " + encoded.message());
    return WriteFileAtomically(path, bytes);
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
        case ResultFileKind::Huffman: return WriteLosslessFile(compressor, kEntropyModeHuffman, path);
        case ResultFileKind::Arithmetic: return WriteLosslessFile(compressor, kEntropyModeArithmetic, path);
        case ResultFileKind::Codebook: return compressor.WriteCodebookFile(path);
        case ResultFileKind::Png: return compressor.SaveReconstructionPng(path);
        case ResultFileKind::Unknown: break;
    }
    return Status::Error(path + ": no kind of result file has this extension");
}

Status EncodeLosslessImage(const ImageCompressor& compressor, int entropyMode, std::vector<std::uint8_t>& bytes,
                           std::size_t& codedSize) {
    std::vector<std::uint8_t> coded;
    if (Status encoded = compressor.EncodeCodedImage(coded); !encoded) return encoded;
    if (Status packed = EncodeBytesWith(entropyMode, coded, bytes); !packed) return packed;
    codedSize = coded.size();
    return Status::Ok();
}

Status DecodeResultFile(ImageCompressor& compressor, const std::string& path, std::size_t* codedSize) {
    const ResultFileKind kind = ResultFileKindOf(path);
    if (kind != ResultFileKind::Coded && kind != ResultFileKind::Huffman && kind != ResultFileKind::Arithmetic)
        return Status::Error(path + ": not a coded image (.mqc, .huf or .art)");
    std::vector<std::uint8_t> bytes, coded;
    if (Status read = ReadWholeFile(path, bytes); !read) return read;
    if (kind != ResultFileKind::Coded) {
        const int mode = kind == ResultFileKind::Huffman ? kEntropyModeHuffman : kEntropyModeArithmetic;
        if (Status unpacked = DecodeBytesWith(mode, bytes, coded); !unpacked)
            return Status::Error(path + ": " + unpacked.message());
        bytes.swap(coded);
    }
    if (Status decoded = compressor.DecodeCodedImage(bytes); !decoded)
        return Status::Error(path + ": " + decoded.message());
    if (codedSize != nullptr) *codedSize = bytes.size();
    return Status::Ok();
}

}  // namespace pictora
