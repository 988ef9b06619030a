// Highway compiles this file once per instruction set and picks the best one
// the processor supports at the first call.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "image/DifferenceKernels.cpp"
#include <hwy/foreach_target.h>  // must come before highway.h
#include <hwy/highway.h>

#include <algorithm>

#include "image/DifferenceKernels.h"

HWY_BEFORE_NAMESPACE();
namespace pictora {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Samples widen to 16 bits, their differences (-255 .. 255) are squared and
// added in pairs into 32-bit lanes. A chunk of kChunk samples adds at most
// kChunk * 255^2 < 2^31 into any lane, however few lanes there are, so the
// chunks' totals are taken out into 64 bits before a lane could overflow.
std::uint64_t SumOfSquaredDifferencesFor(const std::uint8_t* a, const std::uint8_t* b, std::size_t count) {
    constexpr std::size_t kChunk = 4096;
    const hn::ScalableTag<std::int16_t> d16;
    const hn::Rebind<std::uint8_t, decltype(d16)> d8;
    const hn::RepartitionToWide<decltype(d16)> d32;
    const std::size_t step = hn::Lanes(d16);
    std::uint64_t total = 0;
    std::size_t k = 0;
    while (k + step <= count) {
        const std::size_t end = std::min(count, k + kChunk);
        auto sum0 = hn::Zero(d32);
        auto sum1 = hn::Zero(d32);
        for (; k + step <= end; k += step) {
            const auto difference =
                hn::Sub(hn::PromoteTo(d16, hn::LoadU(d8, a + k)), hn::PromoteTo(d16, hn::LoadU(d8, b + k)));
            sum0 = hn::ReorderWidenMulAccumulate(d32, difference, difference, sum0, sum1);
        }
        total += static_cast<std::uint64_t>(hn::GetLane(hn::SumOfLanes(d32, hn::Add(sum0, sum1))));
    }
    return total + PlainSumOfSquaredDifferences(a + k, b + k, count - k);
}

}  // namespace HWY_NAMESPACE
}  // namespace pictora
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace pictora {

HWY_EXPORT(SumOfSquaredDifferencesFor);

std::uint64_t SumOfSquaredDifferences(const std::uint8_t* a, const std::uint8_t* b, std::size_t count) {
    return HWY_DYNAMIC_DISPATCH(SumOfSquaredDifferencesFor)(a, b, count);
}

std::uint64_t PlainSumOfSquaredDifferences(const std::uint8_t* a, const std::uint8_t* b, std::size_t count) {
    std::uint64_t total = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const int difference = a[k] - b[k];
        total += static_cast<std::uint64_t>(difference * difference);
    }
    return total;
}

}  // namespace pictora
#endif  // HWY_ONCE
