#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "support/UninitialisedAllocator.h"

namespace pictora {

// One 8-bit sample plane: `Height()` rows of `Width()` unpadded samples.
// The samples sit in one owned buffer; `Rows()` is the row-pointer array the
// pixel code walks, so sample (i, j) is `plane[i][j]`. New planes are
// zero-filled, which keeps every untouched sample deterministic.
class Plane {
public:
    Plane() = default;
    Plane(std::uint32_t height, std::uint32_t width);

    Plane(const Plane& other);
    Plane& operator=(const Plane& other);
    Plane(Plane&& other) noexcept;
    Plane& operator=(Plane&& other) noexcept;
    ~Plane() = default;

    // Discards the samples and allocates height x width zero samples. When
    // memory runs out (std::bad_alloc), the plane stays as it was; so does a
    // plane assigned a copy.
    void Allocate(std::uint32_t height, std::uint32_t width);
    // The same (all or nothing too), the samples left as the memory holds
    // them: for a plane whose every sample is written before it is read (a
    // decoder's rows), which then touches each page once, as it writes it.
    void AllocateForWriting(std::uint32_t height, std::uint32_t width);
    void Release();
    void Fill(std::uint8_t value);

    bool Empty() const { return rows_.empty(); }
    std::uint32_t Height() const { return height_; }
    std::uint32_t Width() const { return width_; }

    std::uint8_t* operator[](std::size_t row) { return rows_[row]; }
    const std::uint8_t* operator[](std::size_t row) const { return rows_[row]; }

    std::uint8_t* const* Rows() { return rows_.data(); }
    const std::uint8_t* const* Rows() const { return rows_.data(); }

    bool operator==(const Plane& other) const;

private:
    void Reserve(std::uint32_t height, std::size_t samples);
    void BindRows();

    std::uint32_t height_ = 0;
    std::uint32_t width_ = 0;
    std::vector<std::uint8_t, UninitialisedAllocator<std::uint8_t>> samples_;
    std::vector<std::uint8_t*> rows_;
};

}  // namespace pictora
