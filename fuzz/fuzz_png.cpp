// PNG loading: any bytes load to a consistent image or are refused.
#include <cstddef>
#include <cstdint>

#include "image/ImageBuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pictora::ImageBuffer image;
    if (pictora::Status loaded = image.DecodePng({data, size}, "input.png"); loaded) {
        const auto height = static_cast<std::uint32_t>(image.GetHeight());
        const auto width = static_cast<std::uint32_t>(image.GetWidth());
        if (height == 0 || width == 0 || image.lumaY.Height() != height || image.chromaCr420.Width() != width)
            __builtin_trap();
    } else if (image.GetHeight() != 0) {
        __builtin_trap();  // a refused file leaves the buffer empty
    }
    return 0;
}
