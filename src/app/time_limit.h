#ifndef SALDOR_APP_TIME_LIMIT_H_
#define SALDOR_APP_TIME_LIMIT_H_

#include <chrono>
#include <functional>

namespace saldor {

// Runs `work` on a thread of its own and waits for it at most `limit`.
//
// Gives true when `work` ended within the limit; an exception it threw is thrown here. Gives
// false when it did not: `work` then goes on running, detached, and ends whenever it ends, its
// result and any exception dropped. Requires that `work` owns everything it uses (captured by
// value or by shared pointer), since the caller goes on without it. For a call into a library
// that may never return; an ordinary call needs no such guard.
bool FinishesWithin(std::chrono::milliseconds limit, std::function<void()> work);

}  // namespace saldor

#endif  // SALDOR_APP_TIME_LIMIT_H_
