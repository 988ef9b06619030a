#pragma once

#include <cstdint>

namespace pictora {

// Vector kernels over tiles of AngleIndex::kLanes neurons stored
// component-major. The instruction set (SSE4, AVX2, AVX-512, ...) is chosen at
// run time for the processor at hand; each lane holds one neuron, so the
// results are the same doubles on every one of them.

// `out` must be 64-byte aligned, like the tiles.
// out[t * kLanes + l] = similarity of lane l of tiles[t] with `vector`: the
// sum of weight * component over `components` components, from component 0
// upward, starting at 0.0, each product rounded before it is added (never a
// fused multiply-add). This is bit for bit the similarity of the plain scan.
void TileSimilarities(const double* const* tiles, std::uint32_t count, std::uint32_t components, const double* vector,
                      double* out);

// Lists, in order, every t in first .. end-1 for which
//     !(radial[t] * radialFactor + rest[t] * restFactor < target),
// each product rounded before the sum (a NaN sum is listed), and returns how
// many it listed: at most end - first. `first` is a multiple of
// AngleIndex::kTileBoundRun, both arrays are readable and `listed` has room
// up to `end` rounded up to one.
std::uint32_t ListTilesWithinReach(const float* radial, const float* rest, std::uint32_t first, std::uint32_t end,
                                   float radialFactor, float restFactor, float target, std::uint32_t* listed);

// passing[k] = 1 when some lane of term tile listed[k] (of the tiles at
// `terms`) has a sketch bound (the dot product of its terms with
// `blockTerms`, from term 0 upward, each product rounded before it is added)
// at or above `threshold`, else 0; a NaN bound or threshold never passes.
void ListedTilesReaching(const float* terms, const std::uint32_t* listed, std::uint32_t count,
                         const float* blockTerms, float threshold, std::uint8_t* passing);

}  // namespace pictora
