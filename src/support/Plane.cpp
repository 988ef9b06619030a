#include "support/Plane.h"

#include <algorithm>
#include <utility>

namespace pictora {

Plane::Plane(std::uint32_t height, std::uint32_t width) { Allocate(height, width); }

Plane::Plane(const Plane& other)
    : height_(other.height_), width_(other.width_), samples_(other.samples_) {
    BindRows();
}

Plane& Plane::operator=(const Plane& other) {
    if (this != &other) {
        Reserve(other.height_, other.samples_.size());
        samples_.assign(other.samples_.begin(), other.samples_.end());
        height_ = other.height_;
        width_ = other.width_;
        BindRows();
    }
    return *this;
}

Plane::Plane(Plane&& other) noexcept
    : height_(std::exchange(other.height_, 0)),
      width_(std::exchange(other.width_, 0)),
      samples_(std::move(other.samples_)),
      rows_(std::move(other.rows_)) {
    other.samples_.clear();
    other.rows_.clear();
}

Plane& Plane::operator=(Plane&& other) noexcept {
    if (this != &other) {
        height_ = std::exchange(other.height_, 0);
        width_ = std::exchange(other.width_, 0);
        samples_ = std::move(other.samples_);
        rows_ = std::move(other.rows_);
        other.samples_.clear();
        other.rows_.clear();
    }
    return *this;
}

void Plane::Allocate(std::uint32_t height, std::uint32_t width) {
    const std::size_t size = static_cast<std::size_t>(height) * width;
    Reserve(height, size);
    samples_.assign(size, 0);
    height_ = height;
    width_ = width;
    BindRows();
}

// Memory first, keeping what is there when it is enough: running out of it
// leaves the plane as it was, and nothing after this allocates.
void Plane::Reserve(std::uint32_t height, std::size_t samples) {
    rows_.reserve(height);
    if (samples <= samples_.capacity()) return;
    decltype(samples_) larger;
    larger.reserve(samples);
    samples_.swap(larger);
}

void Plane::AllocateForWriting(std::uint32_t height, std::uint32_t width) {
    const std::size_t size = static_cast<std::size_t>(height) * width;
    Reserve(height, size);
    samples_.clear();
    samples_.resize(size);
    height_ = height;
    width_ = width;
    BindRows();
}

void Plane::Release() {
    height_ = 0;
    width_ = 0;
    samples_.clear();
    samples_.shrink_to_fit();
    rows_.clear();
    rows_.shrink_to_fit();
}

void Plane::Fill(std::uint8_t value) { std::fill(samples_.begin(), samples_.end(), value); }

bool Plane::operator==(const Plane& other) const {
    return height_ == other.height_ && width_ == other.width_ && samples_ == other.samples_;
}

void Plane::BindRows() {
    rows_.resize(height_);
    for (std::uint32_t i = 0; i < height_; ++i) {
        rows_[i] = samples_.data() + static_cast<std::size_t>(i) * width_;
    }
}

}  // namespace pictora
