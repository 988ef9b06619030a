#include "entropy/ArithmeticModel.h"

#include <algorithm>
#include <string>

#include "support/Truncate.h"

namespace pictora {
namespace {

Status TotalTooLarge(std::uint64_t total) {
    return Status::Error(ErrorKind::DamagedFile, "arithmetic coder takes at most " + std::to_string(ArithmeticModel::kMaxTotal) +
                         " bytes, not " + std::to_string(total));
}

}  // namespace

Status ArithmeticModel::FromCounts(const ByteCounts& counts) {
    std::uint64_t sum = 0;
    for (unsigned symbol = 0; symbol < 256; ++symbol) {
        sum += counts[symbol];
        if (sum > kMaxTotal) return TotalTooLarge(sum);
        cumulative_[symbol + 1] = static_cast<std::uint32_t>(sum);
    }
    cumulative_[0] = 0;
    return Status::Ok();
}

Status ArithmeticModel::FromTable(std::uint32_t total, const Table& cumulative) {
    if (total > kMaxTotal) return TotalTooLarge(total);
    if (cumulative[0] != 0) return Status::Error(ErrorKind::DamagedFile, "cumulative counts do not start at 0");
    if (!std::is_sorted(cumulative.begin(), cumulative.end())) {
        return Status::Error(ErrorKind::DamagedFile, "cumulative counts decrease");
    }
    if (cumulative[255] > total) return Status::Error(ErrorKind::DamagedFile, "cumulative counts exceed their total");
    std::copy(cumulative.begin(), cumulative.end(), cumulative_.begin());
    cumulative_[256] = total;
    return Status::Ok();
}

std::uint32_t ArithmeticModel::Precision() const { return BitLength(Total() + 1) + 2; }

unsigned ArithmeticModel::SymbolAt(std::int64_t low, std::int64_t range, std::int64_t value) const {
    // ShareStart(s) ≤ value  ⟺  range × cumulative[s] < (value − low + 1) × total
    //                        ⟺  cumulative[s] ≤ limit.
    // The last symbol (below 256) with that property has a nonempty share (a following
    // empty one would share its cumulative count), so its share holds value.
    const auto limit = static_cast<std::uint64_t>(((value - low + 1) * Total() - 1) / range);
    // Branch-free binary search: the comparisons are unpredictable.
    unsigned first = 0;
    for (unsigned step = 128; step > 0; step /= 2) {
        first = cumulative_[first + step] <= limit ? first + step : first;
    }
    return first;
}

}  // namespace pictora
