#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "image/BoxFilter.h"
#include "image/ColorSpace.h"
#include "image/Deblocking.h"
#include "image/RgbImage.h"
#include "quantizer/CodedChannel.h"
#include "support/Status.h"

namespace pictora {

// A coded image as a value: the colour space its channels code in and, per
// channel (R or Y, G or Cb, B or Cr), the codebook and the code of every
// block, as a .mqc file holds them. Channel 0 sets the image's size; the
// chroma of YCbCr 4:2:0 codes planes of half its size, rounded down.
struct CodedImage {
    ColorSpace colorSpace = ColorSpace::Rgb;
    std::array<CodedChannel, 3> channels;

    std::uint32_t Rows() const { return channels[0].rows; }
    std::uint32_t Columns() const { return channels[0].columns; }

    bool operator==(const CodedImage&) const = default;
};

// The .mqc bytes of a coded image: three channel sections (see
// quantizer/CodedSection.cpp), the colour space in the top byte of the first
// word. Refused when channel 0 holds no codebook or a channel cannot be
// written; `bytes` is changed only on success.
Status EncodeCodedImage(const CodedImage& image, std::vector<std::uint8_t>& bytes);

// Whether a .mqc file can hold the image as DecodeCodedImage would give it
// back: every channel writable, with the heads the decoder accepts
// (CheckCodedImageHeads).
Status CheckCodedImage(const CodedImage& image);

// Reads a .mqc image: the bytes are checked whole (ReadCodedImageLayout)
// before `image` is changed, and refused with the reason otherwise.
Status DecodeCodedImage(std::span<const std::uint8_t> bytes, CodedImage& image);

// The RGB image a coded image stands for, of channel 0's size: every channel
// rebuilt from its codes (RebuildPlane) and deblocked on its own block grid,
// 4:2:0 chroma taken to full size, YCbCr converted to RGB, then the low-pass
// filter. A channel without a codebook rebuilds as zeros; so does one larger
// than channel 0, which no decoded image has.
RgbImage Reconstruct(const CodedImage& image, LowPassFilter filter, DeblockStrength deblock);

}  // namespace pictora
