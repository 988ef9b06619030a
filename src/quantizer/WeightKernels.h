#pragma once

#include <cstdint>

namespace pictora {

// weights[i] = weights[i] + (vector[i] - weights[i]) * alfa for i below
// `count`, each operation rounded on its own (never fused), several
// components at a time on the instruction set chosen at run time: every
// component is the plain loop's double, bit for bit.
void MoveWeightsToward(double* weights, const double* vector, std::uint32_t count, double alfa);

}  // namespace pictora
