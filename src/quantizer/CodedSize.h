#pragma once

#include <cstdint>

namespace pictora {

// How a channel's plane relates to the image: its own size, or half of it in
// each direction (the chroma of YCbCr 4:2:0), whose rate is then measured
// against the full-size plane it stands for.
enum class PlaneScale { Full, Half };

// What one channel costs in a coded image, as the program has always counted
// it: the codebook's pixels plus the packed codes of every block entry.
struct CodedSize {
    std::uint32_t codebookBytes = 0;  // K * d
    std::uint32_t blockCount = 0;     // rows * columns / d, edge remainders included
    std::uint32_t codedBytes = 0;     // codebookBytes + (bit length of K) * blockCount / 8
    double ratio = 0.0;               // codedBytes over the plane's pixels (4x for PlaneScale::Half)
};

// In unsigned 32-bit arithmetic, as the coded-image format counts it.
CodedSize ComputeCodedSize(std::uint32_t rows, std::uint32_t columns, std::uint32_t dimension,
                           std::uint32_t neurons, PlaneScale scale);

}  // namespace pictora
