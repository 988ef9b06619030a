// Highway compiles this file once per instruction set and picks the best one
// the processor supports at the first call.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "quantizer/TileKernels.cpp"
#include <hwy/foreach_target.h>  // must come before highway.h
#include <hwy/highway.h>

#include <algorithm>
#include <array>

#include "quantizer/AngleIndex.h"
#include "quantizer/TileKernels.h"
#include "quantizer/VectorSketch.h"

HWY_BEFORE_NAMESPACE();
namespace pictora {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

constexpr std::size_t kLanes = AngleIndex::kLanes;

// A tile's similarities are several vectors of lanes, each summed by its own
// chain of additions, and so is every tile of the call. The chains are
// computed kChains at a time, so that their additions overlap and a call
// costs about one chain's latency per kChains chains, however few tiles it
// has; the last group repeats its last chain where it runs short (the same
// doubles stored twice). Every chain adds its lanes' products in component
// order, exactly as the plain loop does.
void TileSimilaritiesFor(const double* const* tiles, std::uint32_t count, std::uint32_t components,
                         const double* vector, double* out) {
    constexpr std::size_t kChains = 4;
    const hn::CappedTag<double, kLanes> d;
    const std::size_t step = hn::Lanes(d);
    const std::size_t perTile = kLanes / step;
    const std::size_t chains = count * perTile;
    for (std::size_t first = 0; first < chains; first += kChains) {
        std::array<const double*, kChains> w;
        std::array<double*, kChains> to;
        for (std::size_t c = 0; c < kChains; ++c) {
            const std::size_t chain = std::min(first + c, chains - 1);
            const std::size_t lane = chain % perTile * step;
            w[c] = tiles[chain / perTile] + lane;
            to[c] = out + chain / perTile * kLanes + lane;
        }
        auto s0 = hn::Zero(d);
        auto s1 = hn::Zero(d);
        auto s2 = hn::Zero(d);
        auto s3 = hn::Zero(d);
        for (std::uint32_t k = 0; k < components; ++k) {
            const auto x = hn::Set(d, vector[k]);
            const std::size_t at = k * kLanes;
            s0 = hn::Add(s0, hn::Mul(hn::Load(d, w[0] + at), x));
            s1 = hn::Add(s1, hn::Mul(hn::Load(d, w[1] + at), x));
            s2 = hn::Add(s2, hn::Mul(hn::Load(d, w[2] + at), x));
            s3 = hn::Add(s3, hn::Mul(hn::Load(d, w[3] + at), x));
        }
        hn::Store(s0, d, to[0]);
        hn::Store(s1, d, to[1]);
        hn::Store(s2, d, to[2]);
        hn::Store(s3, d, to[3]);
    }
}

std::uint32_t ListTilesWithinReachFor(const float* radial, const float* rest, std::uint32_t first, std::uint32_t end,
                                      float radialFactor, float restFactor, float target, std::uint32_t* listed) {
    const hn::CappedTag<float, AngleIndex::kTileBoundRun> d;
    const std::size_t step = hn::Lanes(d);
    const auto a = hn::Set(d, radialFactor);
    const auto b = hn::Set(d, restFactor);
    const auto limit = hn::Set(d, target);
    std::uint32_t count = 0;
    for (std::uint32_t t = first; t < end; t += static_cast<std::uint32_t>(step)) {
        const auto bound = hn::Add(hn::Mul(hn::LoadU(d, radial + t), a), hn::Mul(hn::LoadU(d, rest + t), b));
        const auto within = hn::And(hn::Not(hn::Lt(bound, limit)), hn::FirstN(d, end - t));
        if (hn::AllFalse(d, within)) continue;  // most tiles of a search are ruled out
        std::uint8_t bits[8] = {};
        hn::StoreMaskBits(d, within, bits);
        for (std::size_t l = 0; l < step; ++l) {
            listed[count] = t + static_cast<std::uint32_t>(l);
            count += (bits[l / 8] >> (l % 8)) & 1u;
        }
    }
    return count;
}

// Whether some lane of the term tile reaches the threshold.
HWY_INLINE bool TileReaches(const float* tile, const float* blockTerms, float threshold) {
    const hn::CappedTag<float, kLanes> d;
    const std::size_t step = hn::Lanes(d);
    const auto limit = hn::Set(d, threshold);
    bool reached = false;
    for (std::size_t j = 0; j < kLanes; j += step) {
        auto bound = hn::Mul(hn::Load(d, tile + j), hn::Set(d, blockTerms[0]));
        for (std::uint32_t k = 1; k < VectorSketch::kTerms; ++k) {
            bound = hn::Add(bound, hn::Mul(hn::Load(d, tile + k * kLanes + j), hn::Set(d, blockTerms[k])));
        }
        reached = reached || !hn::AllFalse(d, hn::Ge(bound, limit));
    }
    return reached;
}

void ListedTilesReachingFor(const float* terms, const std::uint32_t* listed, std::uint32_t count,
                            const float* blockTerms, float threshold, std::uint8_t* passing) {
    for (std::uint32_t k = 0; k < count; ++k) {
        const float* tile = terms + static_cast<std::size_t>(listed[k]) * VectorSketch::kTerms * kLanes;
        passing[k] = TileReaches(tile, blockTerms, threshold) ? 1 : 0;
    }
}

}  // namespace HWY_NAMESPACE
}  // namespace pictora
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace pictora {

HWY_EXPORT(TileSimilaritiesFor);
HWY_EXPORT(ListTilesWithinReachFor);
HWY_EXPORT(ListedTilesReachingFor);

void TileSimilarities(const double* const* tiles, std::uint32_t count, std::uint32_t components, const double* vector,
                      double* out) {
    HWY_DYNAMIC_DISPATCH(TileSimilaritiesFor)(tiles, count, components, vector, out);
}

std::uint32_t ListTilesWithinReach(const float* radial, const float* rest, std::uint32_t first, std::uint32_t end,
                                   float radialFactor, float restFactor, float target, std::uint32_t* listed) {
    return HWY_DYNAMIC_DISPATCH(ListTilesWithinReachFor)(radial, rest, first, end, radialFactor, restFactor, target,
                                                         listed);
}

void ListedTilesReaching(const float* terms, const std::uint32_t* listed, std::uint32_t count,
                         const float* blockTerms, float threshold, std::uint8_t* passing) {
    HWY_DYNAMIC_DISPATCH(ListedTilesReachingFor)(terms, listed, count, blockTerms, threshold, passing);
}

}  // namespace pictora
#endif  // HWY_ONCE
