// Highway compiles this file once per instruction set and picks the best one
// the processor supports at the first call.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "image/PngRowKernels.cpp"
#include <hwy/foreach_target.h>  // must come before highway.h
#include <hwy/highway.h>

#include <algorithm>
#include <cstring>

#include "image/PngRowKernels.h"
#include "image/ScalarPngRowKernels.h"

HWY_BEFORE_NAMESPACE();
namespace pictora {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// On 16-bit lanes holding bytes 0 .. 255: of ifA, ifB and ifC, the one that
// goes with whichever of a, b, c is nearest a + b - c. Unfiltering waits
// for each pixel's a, so the steps from a to the choice are kept few: its
// distances use |b - c| and b - 2c, which do not depend on a.
template <class V>
HWY_INLINE V PaethChoice(V a, V b, V c, V ifA, V ifB, V ifC) {
    const V nearA = hn::Abs(hn::Sub(b, c));  // |(a + b - c) - a|
    const V nearB = hn::Abs(hn::Sub(a, c));
    const V nearC = hn::Abs(hn::Add(a, hn::Sub(b, hn::Add(c, c))));
    const V bOrC = hn::IfThenElse(hn::Gt(nearB, nearC), ifC, ifB);
    return hn::IfThenElse(hn::Gt(nearA, hn::Min(nearB, nearC)), bOrC, ifA);
}

// The prediction, a byte value on 16-bit lanes, from a, b and c as loaded.
template <PngFilter kFilter, class D, class V>
HWY_INLINE V Prediction(D d, V a, V b, V c) {
    if constexpr (kFilter == PngFilter::Sub) {
        return a;
    } else if constexpr (kFilter == PngFilter::Up) {
        return b;
    } else if constexpr (kFilter == PngFilter::Average) {
        return hn::ShiftRight<1>(hn::Add(a, b));
    } else if constexpr (kFilter == PngFilter::Paeth) {
        return PaethChoice(a, b, c, a, b, c);
    } else {
        return hn::Zero(d);
    }
}

// in + prediction as a byte, from a, b and c as loaded. Paeth adds before it
// chooses, so that its sums wait for nothing.
template <PngFilter kFilter, class D, class V>
HWY_INLINE V Unfiltered(D d, V in, V a, V b, V c) {
    const V low = hn::Set(d, 0xFF);
    if constexpr (kFilter == PngFilter::Paeth) {
        return PaethChoice(a, b, c, hn::And(hn::Add(in, a), low), hn::And(hn::Add(in, b), low),
                           hn::And(hn::Add(in, c), low));
    } else {
        return hn::And(hn::Add(in, Prediction<kFilter>(d, a, b, c)), low);
    }
}

// A pixel at a time, its bytes in the low lanes of one vector; the lanes
// above them compute bytes of the next pixel too early and are written over.
template <PngFilter kFilter>
void UnfilterPixels(const std::uint8_t* in, const std::uint8_t* above, std::size_t bytes, std::size_t stride,
                    std::uint8_t* out) {
#if HWY_TARGET == HWY_SCALAR
    ScalarUnfilterRow(kFilter, in, above, stride, 0, bytes, out);
#else
    const hn::FixedTag<std::uint8_t, 8> d8;
    const hn::Rebind<std::int16_t, decltype(d8)> d;
    if (stride > hn::Lanes(d)) return ScalarUnfilterRow(kFilter, in, above, stride, 0, bytes, out);
    auto a = hn::Zero(d);
    auto c = hn::Zero(d);
    for (std::size_t k = 0; k < bytes; k += stride) {
        const auto b = hn::PromoteTo(d, hn::LoadU(d8, above + k));
        a = Unfiltered<kFilter>(d, hn::PromoteTo(d, hn::LoadU(d8, in + k)), a, b, c);
        hn::StoreU(hn::DemoteTo(d8, a), d8, out + k);
        c = b;
    }
#endif
}

void UnfilterRowFor(PngFilter filter, const std::uint8_t* in, const std::uint8_t* above, std::size_t bytes,
                    std::size_t stride, std::uint8_t* out) {
    switch (filter) {
        case PngFilter::None: std::memcpy(out, in, bytes); return;
        case PngFilter::Sub: return UnfilterPixels<PngFilter::Sub>(in, above, bytes, stride, out);
        case PngFilter::Average: return UnfilterPixels<PngFilter::Average>(in, above, bytes, stride, out);
        case PngFilter::Paeth: return UnfilterPixels<PngFilter::Paeth>(in, above, bytes, stride, out);
        case PngFilter::Up: break;
    }
    const hn::ScalableTag<std::uint8_t> d;
    const std::size_t lanes = hn::Lanes(d);
    std::size_t k = 0;
    for (; k + lanes <= bytes; k += lanes) hn::StoreU(hn::Add(hn::LoadU(d, in + k), hn::LoadU(d, above + k)), d, out + k);
    ScalarUnfilterRow(PngFilter::Up, in, above, stride, k, bytes, out);
}

// Filtering runs on whole vectors of 16-bit lanes, each byte's prediction
// known from the rows themselves. Calls take(k, filtered) for the filtered
// bytes k .. k + lanes - 1 of every full vector past the first pixel and
// returns the byte after the last.
template <PngFilter kFilter, class D, class Take>
HWY_INLINE std::size_t FilterVectors(D d, const std::uint8_t* row, const std::uint8_t* above, std::size_t bytes,
                                     std::size_t stride, const Take& take) {
    const hn::Rebind<std::uint8_t, D> d8;
    const std::size_t lanes = hn::Lanes(d);
    const auto low = hn::Set(d, 0xFF);
    const auto load = [&](const std::uint8_t* at) { return hn::PromoteTo(d, hn::LoadU(d8, at)); };
    std::size_t k = std::min(stride, bytes);
    for (; k + lanes <= bytes; k += lanes) {
        const auto prediction = Prediction<kFilter>(d, load(row + k - stride), load(above + k), load(above + k - stride));
        take(k, hn::And(hn::Sub(load(row + k), prediction), low));
    }
    return k;
}

template <PngFilter kFilter>
void FilterBytes(const std::uint8_t* row, const std::uint8_t* above, std::size_t bytes, std::size_t stride,
                 std::uint8_t* out) {
    const hn::ScalableTag<std::int16_t> d;
    const hn::Rebind<std::uint8_t, decltype(d)> d8;
    ScalarFilterRow(kFilter, row, above, stride, 0, std::min(stride, bytes), out);
    const std::size_t end = FilterVectors<kFilter>(d, row, above, bytes, stride, [&](std::size_t k, auto filtered) {
        hn::StoreU(hn::DemoteTo(d8, filtered), d8, out + k);
    });
    ScalarFilterRow(kFilter, row, above, stride, end, bytes, out);
}

void FilterRowFor(PngFilter filter, const std::uint8_t* row, const std::uint8_t* above, std::size_t bytes,
                  std::size_t stride, std::uint8_t* out) {
    switch (filter) {
        case PngFilter::None: std::memcpy(out, row, bytes); return;
        case PngFilter::Sub: return FilterBytes<PngFilter::Sub>(row, above, bytes, stride, out);
        case PngFilter::Up: return FilterBytes<PngFilter::Up>(row, above, bytes, stride, out);
        case PngFilter::Average: return FilterBytes<PngFilter::Average>(row, above, bytes, stride, out);
        case PngFilter::Paeth: return FilterBytes<PngFilter::Paeth>(row, above, bytes, stride, out);
    }
}

// The cost of the vector bytes of the row filtered with kFilter, the bytes
// before and after them left to the scalar code.
template <PngFilter kFilter>
std::uint64_t VectorCost(const std::uint8_t* row, const std::uint8_t* above, std::size_t bytes, std::size_t stride,
                         std::size_t& end) {
    const hn::ScalableTag<std::int16_t> d;
    const hn::Rebind<std::uint8_t, decltype(d)> d8;
    const hn::Repartition<std::uint64_t, decltype(d8)> d64;
    const auto whole = hn::Set(d, 256);
    auto sum = hn::Zero(d64);
    end = FilterVectors<kFilter>(d, row, above, bytes, stride, [&](std::size_t, auto filtered) {
        // At most 128 each: sums of eight bytes at once.
        sum = hn::Add(sum, hn::SumsOf8(hn::DemoteTo(d8, hn::Min(filtered, hn::Sub(whole, filtered)))));
    });
    return hn::GetLane(hn::SumOfLanes(d64, sum));
}

void FilterCostsFor(const std::uint8_t* row, const std::uint8_t* above, std::size_t bytes, std::size_t stride,
                    std::uint64_t costs[kPngFilterCount]) {
    std::size_t end = 0;
    costs[0] = VectorCost<PngFilter::None>(row, above, bytes, stride, end);
    costs[1] = VectorCost<PngFilter::Sub>(row, above, bytes, stride, end);
    costs[2] = VectorCost<PngFilter::Up>(row, above, bytes, stride, end);
    costs[3] = VectorCost<PngFilter::Average>(row, above, bytes, stride, end);
    costs[4] = VectorCost<PngFilter::Paeth>(row, above, bytes, stride, end);
    ScalarFilterCosts(row, above, stride, 0, std::min(stride, bytes), costs);
    ScalarFilterCosts(row, above, stride, end, bytes, costs);
}

void SplitRgbFor(const std::uint8_t* row, std::size_t sampleBytes, std::size_t columns, std::uint8_t* red,
                 std::uint8_t* green, std::uint8_t* blue) {
    std::size_t j = 0;
    if (sampleBytes == 1) {
        const hn::ScalableTag<std::uint8_t> d;
        const std::size_t lanes = hn::Lanes(d);
        for (; j + lanes <= columns; j += lanes) {
            hn::Vec<decltype(d)> r, g, b;
            hn::LoadInterleaved3(d, row + 3 * j, r, g, b);
            hn::StoreU(r, d, red + j);
            hn::StoreU(g, d, green + j);
            hn::StoreU(b, d, blue + j);
        }
    } else {
        // Samples of two bytes, high byte first: loaded as 16-bit lanes on
        // this little-endian processor, the high byte is a lane's low byte.
        const hn::ScalableTag<std::int16_t> d16;
        const hn::Rebind<std::uint8_t, decltype(d16)> d8;
        const std::size_t lanes = hn::Lanes(d16);
        const auto low = hn::Set(d16, 0xFF);
        for (; j + lanes <= columns; j += lanes) {
            hn::Vec<decltype(d16)> r, g, b;
            hn::LoadInterleaved3(d16, reinterpret_cast<const std::int16_t*>(row + 6 * j), r, g, b);
            hn::StoreU(hn::DemoteTo(d8, hn::And(r, low)), d8, red + j);
            hn::StoreU(hn::DemoteTo(d8, hn::And(g, low)), d8, green + j);
            hn::StoreU(hn::DemoteTo(d8, hn::And(b, low)), d8, blue + j);
        }
    }
    ScalarSplitRgb(row, sampleBytes, j, columns, red, green, blue);
}

void JoinRgbFor(const std::uint8_t* red, const std::uint8_t* green, const std::uint8_t* blue, std::size_t columns,
                std::uint8_t* row) {
    const hn::ScalableTag<std::uint8_t> d;
    const std::size_t lanes = hn::Lanes(d);
    std::size_t j = 0;
    for (; j + lanes <= columns; j += lanes)
        hn::StoreInterleaved3(hn::LoadU(d, red + j), hn::LoadU(d, green + j), hn::LoadU(d, blue + j), d, row + 3 * j);
    ScalarJoinRgb(red, green, blue, j, columns, row);
}

}  // namespace HWY_NAMESPACE
}  // namespace pictora
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace pictora {

HWY_EXPORT(UnfilterRowFor);
HWY_EXPORT(FilterRowFor);
HWY_EXPORT(FilterCostsFor);
HWY_EXPORT(SplitRgbFor);
HWY_EXPORT(JoinRgbFor);

void UnfilterRow(PngFilter filter, const std::uint8_t* in, const std::uint8_t* above, std::size_t bytes,
                 std::size_t stride, std::uint8_t* out) {
    HWY_DYNAMIC_DISPATCH(UnfilterRowFor)(filter, in, above, bytes, stride, out);
}

void FilterRow(PngFilter filter, const std::uint8_t* row, const std::uint8_t* above, std::size_t bytes,
               std::size_t stride, std::uint8_t* out) {
    HWY_DYNAMIC_DISPATCH(FilterRowFor)(filter, row, above, bytes, stride, out);
}

void FilterCosts(const std::uint8_t* row, const std::uint8_t* above, std::size_t bytes, std::size_t stride,
                 std::uint64_t costs[kPngFilterCount]) {
    HWY_DYNAMIC_DISPATCH(FilterCostsFor)(row, above, bytes, stride, costs);
}

void SplitRgb(const std::uint8_t* row, std::size_t sampleBytes, std::size_t columns, std::uint8_t* red,
              std::uint8_t* green, std::uint8_t* blue) {
    HWY_DYNAMIC_DISPATCH(SplitRgbFor)(row, sampleBytes, columns, red, green, blue);
}

void JoinRgb(const std::uint8_t* red, const std::uint8_t* green, const std::uint8_t* blue, std::size_t columns,
             std::uint8_t* row) {
    HWY_DYNAMIC_DISPATCH(JoinRgbFor)(red, green, blue, columns, row);
}

}  // namespace pictora
#endif  // HWY_ONCE
