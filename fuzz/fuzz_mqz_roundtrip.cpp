// The contextual stage's contract: every byte sequence the coded-image reader
// accepts codes and decodes back to exactly itself; anything else is refused.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "quantizer/CodedImageLayout.h"
#include "quantizer/ContextualCoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> input(data, data + size);
    pictora::CodedImageLayout layout;
    const bool accepted = static_cast<bool>(pictora::ReadCodedImageLayout(input, layout));
    std::vector<std::uint8_t> packed, unpacked;
    const bool coded = static_cast<bool>(pictora::ContextualCoder().EncodeBytes(input, packed));
    if (coded != accepted) __builtin_trap();
    if (!coded) return 0;
    if (!pictora::ContextualCoder().DecodeBytes(packed, unpacked) || unpacked != input) __builtin_trap();
    return 0;
}
