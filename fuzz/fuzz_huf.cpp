// The Huffman decoder: any bytes expand or are refused, never beyond what
// the header's counts announce.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "quantizer/EntropyCoderSlot.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> out;
    (void)pictora::DecodeBytesWith(pictora::LosslessMode::Huffman, {data, size}, out);
    return 0;
}
