#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "quantizer/CodedSection.h"
#include "support/Status.h"

namespace pictora {

// The colour-space code (top byte of channel 0's first word) of YCbCr 4:2:0,
// whose chroma sections hold half-size planes.
inline constexpr std::uint8_t kHalfChromaColourCode = 2;

// A whole coded image (.mqc) as it lies in its bytes: three sections, channel
// 0's first word carrying the colour-space code.
struct CodedImageLayout {
    std::array<CodedSectionLayout, 3> sections;

    std::uint8_t ColourCode() const { return sections[0].header.colourCode; }
    bool HalfChroma() const { return ColourCode() == kHalfChromaColourCode; }
};

// Checks the three section heads of a coded image as a decoder does: each
// by CheckCodedSectionHead; channel 0 holds a codebook and sets the plane of
// the others (half of it, rounded down, for 4:2:0 chroma); every block, even
// an empty channel's, fits channel 0's plane.
Status CheckCodedImageHeads(const std::array<CodedSectionHeader, 3>& heads);

// Reads and checks a coded image exactly as far as a decoder will accept it:
// three sections (ReadCodedSectionLayout) whose heads pass
// CheckCodedImageHeads, and nothing after them. The sections point
// into `bytes`. `layout` is changed only on success.
Status ReadCodedImageLayout(std::span<const std::uint8_t> bytes, CodedImageLayout& layout);

// Appends the three sections: the bytes ReadCodedImageLayout read them from.
Status WriteCodedImageLayout(const CodedImageLayout& layout, std::vector<std::uint8_t>& bytes);

}  // namespace pictora
