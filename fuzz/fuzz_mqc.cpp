// The coded-image reader and decoder: any bytes decode or are refused, and
// whatever decodes is written again to a file that decodes the same.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "pipeline/ImageCompressor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pictora::ImageCompressor compressor;
    if (!compressor.DecodeCodedImage({data, size})) return 0;
    std::vector<std::uint8_t> written;
    if (!compressor.EncodeCodedImage(written)) __builtin_trap();
    pictora::ImageCompressor again;
    std::vector<std::uint8_t> rewritten;
    if (!again.DecodeCodedImage(written) || !again.EncodeCodedImage(rewritten) || rewritten != written)
        __builtin_trap();
    return 0;
}
