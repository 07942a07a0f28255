#ifndef SALDOR_TESTS_SUPPORT_CLOCK_H_
#define SALDOR_TESTS_SUPPORT_CLOCK_H_

#include <chrono>
#include <ctime>

#include "app/dates.h"

namespace saldor::testing {

// The moment of the given local date and time of day.
inline TimePoint LocalMoment(int year, int month, int day, int hour = 12, int minute = 0,
                             int second = 0) {
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

// A clock that always reads `moment`.
inline Clock FixedClock(TimePoint moment) {
  return [moment] { return moment; };
}

}  // namespace saldor::testing

#endif  // SALDOR_TESTS_SUPPORT_CLOCK_H_
