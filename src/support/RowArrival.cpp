#include "support/RowArrival.h"

namespace pictora {

void RowArrival::Publish(std::uint32_t rows) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        rows_ = rows;
        started_ = true;
    }
    changed_.notify_all();
}

void RowArrival::Close() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        closed_ = true;
    }
    changed_.notify_all();
}

bool RowArrival::WaitFor(std::uint32_t rows) const {
    std::unique_lock<std::mutex> guard(lock_);
    changed_.wait(guard, [&] { return rows_ >= rows || closed_; });
    return rows_ >= rows;
}

bool RowArrival::WaitForStart() const {
    std::unique_lock<std::mutex> guard(lock_);
    changed_.wait(guard, [&] { return started_ || closed_; });
    return started_;
}

}  // namespace pictora
