// Highway compiles this file once per instruction set and picks the best one
// the processor supports at the first call.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "quantizer/PixelKernels.cpp"
#include <hwy/foreach_target.h>  // must come before highway.h
#include <hwy/highway.h>

#include "quantizer/PixelKernels.h"

HWY_BEFORE_NAMESPACE();
namespace pictora {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

std::uint32_t TileBoundsWithinFor(const std::int32_t* groups, const std::int32_t* blockGroups, std::int32_t limit) {
    const hn::CappedTag<std::int32_t, kPixelLanes> d;
    const std::size_t step = hn::Lanes(d);
    const auto most = hn::Set(d, limit);
    std::uint32_t within = 0;
    for (std::size_t l = 0; l < kPixelLanes; l += step) {
        auto bound = hn::Zero(d);
        for (std::uint32_t g = 0; g < kPixelGroups; ++g) {
            const auto difference = hn::Sub(hn::Load(d, groups + g * kPixelLanes + l), hn::Set(d, blockGroups[g]));
            bound = hn::Add(bound, hn::Mul(difference, difference));
        }
        std::uint8_t bits[8] = {};
        hn::StoreMaskBits(d, hn::Not(hn::Gt(bound, most)), bits);
        const std::uint32_t chunk = bits[0] | (static_cast<std::uint32_t>(bits[1]) << 8);
        within |= (chunk & ((1u << step) - 1u)) << l;
    }
    return within;
}

// Each 32-bit lane holds one neuron's pixel pair; the 16-bit differences are
// squared and the two squares added into the lane in one multiply-add. The
// order of integer additions cannot change an exact sum.
void TileErrorsFor(const std::int16_t* pairs, std::uint32_t pairCount, const std::int32_t* blockPairs,
                   std::int32_t* out) {
#if HWY_TARGET == HWY_SCALAR
    PlainTileErrors(pairs, pairCount, blockPairs, out);
#else
    const hn::CappedTag<std::int32_t, kPixelLanes> d32;
    const hn::Repartition<std::int16_t, decltype(d32)> d16;
    const std::size_t step = hn::Lanes(d32);
    for (std::size_t l = 0; l < kPixelLanes; l += step) {
        auto sum0 = hn::Zero(d32);
        auto sum1 = hn::Zero(d32);
        for (std::uint32_t j = 0; j < pairCount; ++j) {
            const auto block = hn::BitCast(d16, hn::Set(d32, blockPairs[j]));
            const auto difference = hn::Sub(hn::Load(d16, pairs + (j * kPixelLanes + l) * 2), block);
            sum0 = hn::ReorderWidenMulAccumulate(d32, difference, difference, sum0, sum1);
        }
        hn::Store(hn::RearrangeToOddPlusEven(sum0, sum1), d32, out + l);
    }
#endif
}

}  // namespace HWY_NAMESPACE
}  // namespace pictora
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace pictora {

HWY_EXPORT(TileBoundsWithinFor);
HWY_EXPORT(TileErrorsFor);

std::uint32_t TileBoundsWithin(const std::int32_t* groups, const std::int32_t* blockGroups, std::int32_t limit) {
    return HWY_DYNAMIC_DISPATCH(TileBoundsWithinFor)(groups, blockGroups, limit);
}

void TileErrors(const std::int16_t* pairs, std::uint32_t pairCount, const std::int32_t* blockPairs,
                std::int32_t* out) {
    HWY_DYNAMIC_DISPATCH(TileErrorsFor)(pairs, pairCount, blockPairs, out);
}

std::uint32_t PlainTileBoundsWithin(const std::int32_t* groups, const std::int32_t* blockGroups, std::int32_t limit) {
    std::uint32_t within = 0;
    for (std::uint32_t l = 0; l < kPixelLanes; ++l) {
        std::int32_t bound = 0;
        for (std::uint32_t g = 0; g < kPixelGroups; ++g) {
            const std::int32_t difference = groups[g * kPixelLanes + l] - blockGroups[g];
            bound += difference * difference;
        }
        if (bound <= limit) within |= 1u << l;
    }
    return within;
}

void PlainTileErrors(const std::int16_t* pairs, std::uint32_t pairCount, const std::int32_t* blockPairs,
                     std::int32_t* out) {
    for (std::uint32_t l = 0; l < kPixelLanes; ++l) {
        std::int32_t sum = 0;
        for (std::uint32_t j = 0; j < pairCount; ++j) {
            const std::int16_t* pair = pairs + (j * kPixelLanes + l) * 2;
            const std::int32_t low = pair[0] - (blockPairs[j] & 0xFFFF);
            const std::int32_t high = pair[1] - (blockPairs[j] >> 16);
            sum += low * low + high * high;
        }
        out[l] = sum;
    }
}

}  // namespace pictora
#endif  // HWY_ONCE
