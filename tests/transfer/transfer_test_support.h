#ifndef SALDOR_TESTS_TRANSFER_TRANSFER_TEST_SUPPORT_H_
#define SALDOR_TESTS_TRANSFER_TRANSFER_TEST_SUPPORT_H_

#include <chrono>
#include <ctime>
#include <functional>
#include <thread>

#include "app/dates.h"

namespace saldor::testing {

// The moment of the given local date and time.
inline TimePoint LocalMoment(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&tm));
}

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
