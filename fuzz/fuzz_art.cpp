// The arithmetic decoder: any bytes expand or are refused, never beyond the
// length the header announces.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "quantizer/EntropyCoderSlot.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> out;
    (void)pictora::DecodeBytesWith(pictora::LosslessMode::Arithmetic, {data, size}, out);
    return 0;
}
