#pragma once

#include <cstdint>

namespace pictora {

// How a coding pass chooses each block's neuron: by the largest similarity of
// the normalised vectors (the way training compares them), or by the least
// sum of squared differences between the block's pixels and the neuron's,
// which are what the image is rebuilt from.
enum class CodeBy { Similarity, Error };

// What a channel does with a codebook once it has been trained (or read): the
// choice of each block's neuron, then Lloyd iterations that move every neuron
// to the rounded mean of its blocks, then the rate-aware pruning that removes
// neurons while their bytes cost more (at `lambda` per bit) than the error
// their removal adds. The defaults code by similarity and do nothing more.
struct CodingMethod {
    CodeBy codeBy = CodeBy::Similarity;
    std::uint32_t refine = 0;  // Lloyd iterations after each coding
    double lambda = 0.0;       // squared error per bit; 0: no rate-aware pruning

    bool operator==(const CodingMethod&) const = default;
};

}  // namespace pictora
