#pragma once

#include <csignal>

namespace pictora::cli {

// While it lives, Ctrl+C (SIGINT) only raises a flag that long work polls,
// so work can stop between two of its pieces and keep what is finished. A
// second Ctrl+C, once the flag is up, ends the process as usual.
class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    bool Interrupted() const;

private:
    struct sigaction previous_ {};
};

}  // namespace pictora::cli
