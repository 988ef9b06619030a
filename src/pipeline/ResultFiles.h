#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quantizer/EntropyCoderSlot.h"
#include "support/Status.h"

namespace pictora {

class ImageCompressor;

// The kinds of file the program reads and writes: .mqc coded image, .huf,
// .art and .mqz coded image through the Huffman, the arithmetic or the
// contextual stage, .cod codebooks, .png image. The one rule every front end
// tells them by (Open, Save, decode, info, compare --like, -o): the last
// extension of the name, case ignored, so x.png.mqc and X.MQC are coded
// images and photo.mqc.bak is none of them.
enum class ResultFileKind { Coded, Huffman, Arithmetic, Contextual, Codebook, Png, Unknown };
ResultFileKind ResultFileKindOf(const std::string& path);

// The lossless stage a coded-image kind has been through (None for .mqc and
// for kinds that are no coded image).
LosslessMode LosslessModeOf(ResultFileKind kind);

// Writes the current result as a file of that kind.
Status WriteResultFile(const ImageCompressor& compressor, ResultFileKind kind, const std::string& path);

// The coded image and what a lossless coder makes of it.
struct LosslessImage {
    std::vector<std::uint8_t> coded;   // the .mqc bytes
    std::vector<std::uint8_t> packed;  // the .huf, .art or .mqz bytes
    // The lossless stage's rate: packed size over coded size (0 for nothing coded).
    double Ratio() const;
};

// The one lossless measurement of the program: the current coded image
// through the coder of `mode`, in memory.
Status EncodeLosslessImage(const ImageCompressor& compressor, LosslessMode mode, LosslessImage& image);

// Reads a coded image file (.mqc, .huf, .art or .mqz by extension) and
// expands it, in memory, to the coded image's bytes.
Status ReadCodedImageFile(const std::string& path, std::vector<std::uint8_t>& coded);

// Decodes a coded image file (.mqc, .huf, .art or .mqz by extension) into
// the compressor; `codedSize`, when given, gets the size of the coded image
// (for .huf, .art and .mqz, what the lossless stage expanded).
Status DecodeResultFile(ImageCompressor& compressor, const std::string& path, std::size_t* codedSize = nullptr);

}  // namespace pictora
