#include "cli/InterruptWatch.h"

#include <atomic>

namespace pictora::cli {
namespace {

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

extern "C" void RaiseInterruptFlag(int) {
    interrupted.store(true);
    std::signal(SIGINT, SIG_DFL);
}

}  // namespace

InterruptWatch::InterruptWatch() {
    interrupted.store(false);
    struct sigaction action {};
    action.sa_handler = RaiseInterruptFlag;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous_);
}

InterruptWatch::~InterruptWatch() { sigaction(SIGINT, &previous_, nullptr); }

bool InterruptWatch::Interrupted() const { return interrupted.load(); }

}  // namespace pictora::cli
