// Both lossless coders give back exactly what they coded. Byte 0 picks the
// coder; the rest is the input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "quantizer/EntropyCoderSlot.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const pictora::LosslessMode mode = data[0] % 2 == 0 ? pictora::LosslessMode::Huffman : pictora::LosslessMode::Arithmetic;
    const std::span<const std::uint8_t> input(data + 1, size - 1);
    std::vector<std::uint8_t> coded, decoded;
    if (!pictora::EncodeBytesWith(mode, input, coded)) {
        // The one input a coder may refuse: more copies of one byte value
        // than a Huffman file without code bits may stand for.
        const bool oneValue = std::all_of(input.begin(), input.end(), [&](std::uint8_t b) { return b == input[0]; });
        if (mode != pictora::LosslessMode::Huffman || !oneValue || input.size() <= 8256) __builtin_trap();
        return 0;
    }
    if (!pictora::DecodeBytesWith(mode, coded, decoded)) __builtin_trap();
    if (decoded.size() != input.size() || !std::equal(decoded.begin(), decoded.end(), input.begin())) __builtin_trap();
    return 0;
}
