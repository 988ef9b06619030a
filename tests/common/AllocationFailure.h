#pragma once

#include <cstddef>
#include <cstdint>

namespace pictora::testing {

// Memory running out, made to order: while an AllocationFailure lives, every
// allocation through operator new (any thread) of at least `bytes` bytes
// throws std::bad_alloc, once `granted` of them have succeeded. A test binary
// that links AllocationFailure.cpp replaces the global operator new with one
// that does this; outside such a scope it allocates as usual.
class AllocationFailure {
public:
    AllocationFailure(std::size_t bytes, std::int64_t granted);
    ~AllocationFailure();
    AllocationFailure(const AllocationFailure&) = delete;
    AllocationFailure& operator=(const AllocationFailure&) = delete;

    // Allocations of at least `bytes` made in the scope so far, refused ones
    // included.
    static std::int64_t Large();
    // Those refused.
    static std::int64_t Refused();
};

}  // namespace pictora::testing
