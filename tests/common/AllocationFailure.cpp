#include "common/AllocationFailure.h"

#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>

namespace pictora::testing {
namespace {

std::atomic<std::size_t> threshold{std::numeric_limits<std::size_t>::max()};
std::atomic<std::int64_t> grants{0};
std::atomic<std::int64_t> large{0};
std::atomic<std::int64_t> refused{0};

void* Allocate(std::size_t size, std::size_t alignment) {
    if (size >= threshold.load(std::memory_order_relaxed)) {
        large.fetch_add(1, std::memory_order_relaxed);
        if (grants.fetch_sub(1, std::memory_order_relaxed) <= 0) {
            refused.fetch_add(1, std::memory_order_relaxed);
            throw std::bad_alloc();
        }
    }
    if (size == 0) size = 1;
    void* memory = alignment <= alignof(std::max_align_t)
                       ? std::malloc(size)
                       : std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
    if (memory == nullptr) throw std::bad_alloc();
    return memory;
}

void* AllocateOrNull(std::size_t size, std::size_t alignment) noexcept {
    try {
        return Allocate(size, alignment);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

AllocationFailure::AllocationFailure(std::size_t bytes, std::int64_t granted) {
    large.store(0);
    refused.store(0);
    grants.store(granted);
    threshold.store(bytes);
}

AllocationFailure::~AllocationFailure() { threshold.store(std::numeric_limits<std::size_t>::max()); }

std::int64_t AllocationFailure::Large() { return large.load(); }
std::int64_t AllocationFailure::Refused() { return refused.load(); }

}  // namespace pictora::testing

using pictora::testing::Allocate;
using pictora::testing::AllocateOrNull;

void* operator new(std::size_t size) { return Allocate(size, 0); }
void* operator new[](std::size_t size) { return Allocate(size, 0); }
void* operator new(std::size_t size, std::align_val_t alignment) { return Allocate(size, static_cast<std::size_t>(alignment)); }
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return Allocate(size, static_cast<std::size_t>(alignment));
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size, 0); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size, 0); }
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size, static_cast<std::size_t>(alignment));
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete(void* memory, std::align_val_t, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, std::align_val_t, const std::nothrow_t&) noexcept { std::free(memory); }
