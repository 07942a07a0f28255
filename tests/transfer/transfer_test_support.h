#ifndef SALDOR_TESTS_TRANSFER_TRANSFER_TEST_SUPPORT_H_
#define SALDOR_TESTS_TRANSFER_TRANSFER_TEST_SUPPORT_H_

#include <chrono>
#include <functional>
#include <thread>

#include "support/clock.h"

namespace saldor::testing {

// Waits until `done` holds, at most 30 seconds (a limit for broken runs, not a speed target).
inline bool WaitFor(const std::function<bool()>& done) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace saldor::testing

#endif  // SALDOR_TESTS_TRANSFER_TRANSFER_TEST_SUPPORT_H_
