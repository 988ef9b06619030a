#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// The coded image through the lossless coder of `entropyMode` (1 Huffman,
// 2 arithmetic), in memory; `codedSize` gets the size of the coded image
// it compressed.
Status EncodeLosslessImage(const ImageCompressor& compressor, int entropyMode, std::vector<std::uint8_t>& bytes,
                           std::size_t& codedSize);

// Decodes a coded image file (.mqc, .huf or .art by extension) into the
// compressor; `codedSize`, when given, gets the size of the coded image (for
// .huf and .art, what the lossless stage expanded).
Status DecodeResultFile(ImageCompressor& compressor, const std::string& path, std::size_t* codedSize = nullptr);

}  // namespace pictora
