// Highway compiles this file once per instruction set and picks the best one
// the processor supports at the first call.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "quantizer/SketchKernels.cpp"
#include <hwy/foreach_target.h>  // must come before highway.h
#include <hwy/highway.h>

#include <algorithm>
#include <cmath>

#include "quantizer/SketchKernels.h"

HWY_BEFORE_NAMESPACE();
namespace pictora {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

ComponentSums SumComponentsFor(const double* vector, const double* leftRight, const double* topBottom,
                               std::uint32_t count) {
    const hn::ScalableTag<double> d;
    const std::size_t lanes = hn::Lanes(d);
    auto sum = hn::Zero(d);
    auto across = hn::Zero(d);
    auto down = hn::Zero(d);
    auto squares = hn::Zero(d);
    auto largest = hn::Zero(d);
    std::size_t i = 0;
    for (; i + lanes <= count; i += lanes) {
        const auto x = hn::LoadU(d, vector + i);
        sum = hn::Add(sum, x);
        across = hn::Add(across, hn::Mul(x, hn::LoadU(d, leftRight + i)));
        down = hn::Add(down, hn::Mul(x, hn::LoadU(d, topBottom + i)));
        squares = hn::Add(squares, hn::Mul(x, x));
        largest = hn::Max(largest, hn::Abs(x));
    }
    ComponentSums sums{hn::GetLane(hn::SumOfLanes(d, sum)), hn::GetLane(hn::SumOfLanes(d, across)),
                       hn::GetLane(hn::SumOfLanes(d, down)), hn::GetLane(hn::SumOfLanes(d, squares)),
                       hn::GetLane(hn::MaxOfLanes(d, largest))};
    for (; i < count; ++i) {
        const double x = vector[i];
        sums.sum += x;
        sums.across += leftRight[i] * x;
        sums.down += topBottom[i] * x;
        sums.squares += x * x;
        sums.largest = std::max(sums.largest, std::abs(x));
    }
    return sums;
}

}  // namespace HWY_NAMESPACE
}  // namespace pictora
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace pictora {

HWY_EXPORT(SumComponentsFor);

ComponentSums SumComponents(const double* vector, const double* leftRight, const double* topBottom,
                            std::uint32_t count) {
    return HWY_DYNAMIC_DISPATCH(SumComponentsFor)(vector, leftRight, topBottom, count);
}

}  // namespace pictora
#endif  // HWY_ONCE
