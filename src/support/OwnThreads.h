#pragma once

#include <functional>

namespace pictora {

// Runs task(0) .. task(count-1) at once, each on a thread of its own (the
// caller's for task 0), and returns when all have ended. For independent
// chains of work that cannot be split, more of them than cores: the system
// shares the cores between the threads, so that each chain moves on at the
// same pace and the last ends soon after the others.
//
// The threads count as busy ones of the shared WorkerPool: their jobs spread
// only over cores the other tasks leave free (as when one task is left). From
// a thread that waited for its core (BusyScope::Admission::WaitForCore) the
// new threads wait for theirs too, and the caller leaves its core to them
// while it waits for them: then no more tasks run at once than there are
// cores.
// When tasks throw, the others still run to their end, and the exception of
// the lowest-numbered task is thrown on the caller.
//
// With `yielding`, every task runs on a new thread whose scheduling priority
// is lowered, so that work already running on other threads (a decoder the
// tasks wait for, say) keeps its core; those threads end with the call.
enum class TaskPriority { Normal, Yielding };
void RunOnOwnThreads(unsigned count, const std::function<void(unsigned task)>& task,
                     TaskPriority priority = TaskPriority::Normal);

}  // namespace pictora
