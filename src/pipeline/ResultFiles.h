#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quantizer/EntropyCoderSlot.h"
#include "support/Status.h"

namespace pictora {

class ImageCompressor;

// The kinds of result file, told apart by extension with case ignored:
// .mqc coded image, .huf and .art coded image through the Huffman or the
// arithmetic coder, .cod codebooks, .png reconstruction.
enum class ResultFileKind { Coded, Huffman, Arithmetic, Codebook, Png, Unknown };
ResultFileKind ResultFileKindOf(const std::string& path);

// Writes the current result as a file of that kind.
Status WriteResultFile(const ImageCompressor& compressor, ResultFileKind kind, const std::string& path);

// The coded image and what a lossless coder makes of it.
struct LosslessImage {
    std::vector<std::uint8_t> coded;   // the .mqc bytes
    std::vector<std::uint8_t> packed;  // the .huf or .art bytes
    // The lossless stage's rate: packed size over coded size (0 for nothing coded).
    double Ratio() const;
};

// The one lossless measurement of the program: the current coded image
// through the coder of `mode`, in memory.
Status EncodeLosslessImage(const ImageCompressor& compressor, LosslessMode mode, LosslessImage& image);

// Decodes a coded image file (.mqc, .huf or .art by extension) into the
// compressor; `codedSize`, when given, gets the size of the coded image (for
// .huf and .art, what the lossless stage expanded).
Status DecodeResultFile(ImageCompressor& compressor, const std::string& path, std::size_t* codedSize = nullptr);

}  // namespace pictora
