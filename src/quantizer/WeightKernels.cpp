// Highway compiles this file once per instruction set and picks the best one
// the processor supports at the first call.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "quantizer/WeightKernels.cpp"
#include <hwy/foreach_target.h>  // must come before highway.h
#include <hwy/highway.h>

#include "quantizer/WeightKernels.h"

HWY_BEFORE_NAMESPACE();
namespace pictora {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

void MoveWeightsTowardFor(double* weights, const double* vector, std::uint32_t count, double alfa) {
    const hn::ScalableTag<double> d;
    const std::size_t lanes = hn::Lanes(d);
    const auto rate = hn::Set(d, alfa);
    std::size_t i = 0;
    for (; i + lanes <= count; i += lanes) {
        const auto w = hn::LoadU(d, weights + i);
        const auto delta = hn::Mul(hn::Sub(hn::LoadU(d, vector + i), w), rate);
        hn::StoreU(hn::Add(w, delta), d, weights + i);
    }
    for (; i < count; ++i) {
        const double delta = (vector[i] - weights[i]) * alfa;
        weights[i] = weights[i] + delta;
    }
}

}  // namespace HWY_NAMESPACE
}  // namespace pictora
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace pictora {

HWY_EXPORT(MoveWeightsTowardFor);

void MoveWeightsToward(double* weights, const double* vector, std::uint32_t count, double alfa) {
    HWY_DYNAMIC_DISPATCH(MoveWeightsTowardFor)(weights, vector, count, alfa);
}

}  // namespace pictora
#endif  // HWY_ONCE
