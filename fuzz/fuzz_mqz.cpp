// The contextual-stage decoder: any bytes decode or are refused, and what
// decodes is a coded image the decoder accepts, which the stage codes to the
// same file again.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "quantizer/CodedImageLayout.h"
#include "quantizer/ContextualCoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> coded;
    if (!pictora::ContextualCoder().DecodeBytes({data, size}, coded)) return 0;
    pictora::CodedImageLayout layout;
    if (!pictora::ReadCodedImageLayout(coded, layout)) __builtin_trap();
    std::vector<std::uint8_t> again;
    if (!pictora::ContextualCoder().EncodeBytes(coded, again) || again != std::vector<std::uint8_t>(data, data + size))
        __builtin_trap();
    return 0;
}
