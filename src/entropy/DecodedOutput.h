#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace pictora {

// How the lossless decoders size their output. A length a file announces is
// never trusted for memory: the output grows only as bytes are decoded, each
// time by as many bytes as it holds (at least kFirstOutputStep, at most
// kLargestOutputStep) and never past the announced length. Its capacity thus
// stays below what has been decoded plus kLargestOutputStep.
inline constexpr std::size_t kFirstOutputStep = std::size_t{1} << 16;
inline constexpr std::size_t kLargestOutputStep = std::size_t{1} << 26;

// Makes room in `out` for at least one more byte of the `announced` in all.
inline void GrowDecodedOutput(std::vector<std::uint8_t>& out, std::uint64_t announced) {
    const std::size_t size = out.size();
    const std::size_t step = std::clamp(size, kFirstOutputStep, kLargestOutputStep);
    const std::uint64_t wanted = std::clamp<std::uint64_t>(announced, size + 1, size + step);
    out.reserve(static_cast<std::size_t>(wanted));
}

}  // namespace pictora
