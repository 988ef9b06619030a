// Highway compiles this file once per instruction set and picks the best one
// the processor supports at the first call.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "quantizer/GatherKernels.cpp"
#include <hwy/foreach_target.h>  // must come before highway.h
#include <hwy/highway.h>

#include "quantizer/GatherKernels.h"

HWY_BEFORE_NAMESPACE();
namespace pictora {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Four pixels at a time (two on 128-bit vectors): as 32-bit integers for the
// sums, as doubles for the quotients. A line's last side % lanes pixels go
// through the plain steps, which write nothing past the line.
void GatherBlockFor(const std::uint8_t* const* lines, std::uint32_t column, std::uint32_t side, double scale,
                    const std::int32_t* columnSigns, const std::int32_t* lineSigns, double* out, PixelSums& sums) {
    const hn::CappedTag<double, 4> dd;
    const hn::Rebind<std::int32_t, decltype(dd)> di;
    const hn::Rebind<std::uint8_t, decltype(dd)> d8;
    const std::size_t lanes = hn::Lanes(dd);
    const auto divisor = hn::Set(dd, scale);
    auto sum = hn::Zero(di);
    auto squares = hn::Zero(di);
    auto across = hn::Zero(di);
    auto down = hn::Zero(di);
    PixelSums tail;
    for (std::uint32_t i = 0; i < side; ++i) {
        const std::uint8_t* line = lines[i] + column;
        double* to = out + static_cast<std::size_t>(i) * side;
        const auto lineSign = hn::Set(di, lineSigns[i]);
        std::uint32_t j = 0;
        for (; j + lanes <= side; j += static_cast<std::uint32_t>(lanes)) {
            const auto x = hn::PromoteTo(di, hn::LoadU(d8, line + j));
            sum = hn::Add(sum, x);
            squares = hn::Add(squares, hn::Mul(x, x));
            across = hn::Add(across, hn::Mul(x, hn::LoadU(di, columnSigns + j)));
            down = hn::Add(down, hn::Mul(x, lineSign));
            hn::StoreU(hn::Div(hn::PromoteTo(dd, x), divisor), dd, to + j);
        }
        for (; j < side; ++j) {
            const std::int32_t x = line[j];
            tail.sum += x;
            tail.squares += x * x;
            tail.across += x * columnSigns[j];
            tail.down += x * lineSigns[i];
            to[j] = static_cast<double>(x) / scale;
        }
    }
    sums.sum += tail.sum + hn::GetLane(hn::SumOfLanes(di, sum));
    sums.squares += tail.squares + hn::GetLane(hn::SumOfLanes(di, squares));
    sums.across += tail.across + hn::GetLane(hn::SumOfLanes(di, across));
    sums.down += tail.down + hn::GetLane(hn::SumOfLanes(di, down));
}

}  // namespace HWY_NAMESPACE
}  // namespace pictora
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace pictora {

HWY_EXPORT(GatherBlockFor);

void GatherBlock(const std::uint8_t* const* lines, std::uint32_t column, std::uint32_t side, double scale,
                 const std::int32_t* columnSigns, const std::int32_t* lineSigns, double* out, PixelSums& sums) {
    HWY_DYNAMIC_DISPATCH(GatherBlockFor)(lines, column, side, scale, columnSigns, lineSigns, out, sums);
}

void PlainGatherBlock(const std::uint8_t* const* lines, std::uint32_t column, std::uint32_t side, double scale,
                      const std::int32_t* columnSigns, const std::int32_t* lineSigns, double* out, PixelSums& sums) {
    for (std::uint32_t i = 0; i < side; ++i) {
        for (std::uint32_t j = 0; j < side; ++j) {
            const std::int32_t x = lines[i][column + j];
            sums.sum += x;
            sums.squares += x * x;
            sums.across += x * columnSigns[j];
            sums.down += x * lineSigns[i];
            out[i * side + j] = static_cast<double>(x) / scale;
        }
    }
}

}  // namespace pictora
#endif  // HWY_ONCE
