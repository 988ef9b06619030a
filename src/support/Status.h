#pragma once

#include <string>
#include <utility>

namespace pictora {

// The outcome of an operation that can fail for a reason the user must read:
// success, or a failure carrying a one-line message.
class [[nodiscard]] Status {
public:
    static Status Ok() { return Status(); }
    static Status Error(std::string message) { return Status(std::move(message)); }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const std::string& message() const { return message_; }

private:
    Status() = default;
    explicit Status(std::string message) : failed_(true), message_(std::move(message)) {}

    bool failed_ = false;
    std::string message_;
};

}  // namespace pictora
