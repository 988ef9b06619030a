#pragma once

#include <cstdint>

#include "support/Plane.h"

namespace pictora {

// Reads the marks of one channel: a nonzero byte of the mask plane marks the
// pixel. Only the channel's region (the top-left rows x columns) is read, as
// the mask plane may be larger than the channel; positions outside it are
// unmarked, and so is every position of an empty or too-small mask plane.
// The marks of one row of a channel, read the same way.
struct MaskRow {
    const std::uint8_t* samples;  // null for a row outside the channel or an unusable mask
    std::uint32_t columns;
    std::uint8_t At(std::uint32_t column) const { return samples != nullptr && column < columns ? samples[column] : 0; }
};

class MaskSampler {
public:
    MaskSampler(const Plane& mask, std::uint32_t rows, std::uint32_t columns)
        : mask_(mask),
          rows_(rows),
          columns_(columns),
          usable_(mask.Height() >= rows && mask.Width() >= columns) {}

    std::uint8_t At(std::uint32_t row, std::uint32_t column) const { return Row(row).At(column); }
    MaskRow Row(std::uint32_t row) const {
        return {usable_ && row < rows_ ? mask_[row] : nullptr, columns_};
    }

private:
    const Plane& mask_;
    std::uint32_t rows_;
    std::uint32_t columns_;
    bool usable_;
};

}  // namespace pictora
