#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace pictora {

// Rows of a picture that one thread fills from the top while others already
// use the rows in place: the filling thread publishes how many are done, the
// others wait for the ones they need. When no more rows will come (all done,
// or the filling failed), Close says so and wakes every waiter.
class RowArrival {
public:
    // Rows 0 .. rows-1 are in place (0: the planes exist, sized, still empty).
    void Publish(std::uint32_t rows);
    void Close();

    // Waits until rows 0 .. rows-1 are in place (true), or until Close
    // leaves fewer (false).
    bool WaitFor(std::uint32_t rows) const;
    // Waits for the first Publish (true), or for a Close before any (false).
    bool WaitForStart() const;

private:
    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    std::uint32_t rows_ = 0;
    bool started_ = false;
    bool closed_ = false;
};

}  // namespace pictora
