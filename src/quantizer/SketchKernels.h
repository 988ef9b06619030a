#pragma once

#include <cstdint>

namespace pictora {

// What a sketch needs of a vector's first `count` components x: the sums of
// x, of leftRight * x, of topBottom * x and of x * x, and the largest |x|.
struct ComponentSums {
    double sum = 0.0;
    double across = 0.0;
    double down = 0.0;
    double squares = 0.0;
    double largest = 0.0;
};

// The sums are taken several lanes at a time, in an order that depends on
// the instruction set chosen at run time: each differs from the exact sum by
// at most count units in the last place of the sum of its terms' magnitudes,
// which is all a sketch relies on. The largest |x| is exact.
ComponentSums SumComponents(const double* vector, const double* leftRight, const double* topBottom,
                            std::uint32_t count);

}  // namespace pictora
