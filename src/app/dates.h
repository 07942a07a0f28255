#ifndef SALDOR_APP_DATES_H_
#define SALDOR_APP_DATES_H_

#include <chrono>
#include <functional>
#include <string>

#include "app/calendar.h"

namespace saldor {

using TimePoint = std::chrono::system_clock::time_point;

// Where a task reads the current moment. The program uses the system clock; a test may fix it.
using Clock = std::function<TimePoint()>;
Clock SystemClock();

// The local date and time of day of `moment`, in the machine's time zone.
DateTime LocalDateTime(TimePoint moment);
inline Date LocalDate(TimePoint moment) { return LocalDateTime(moment).date; }

// `date` moved by `days` calendar days; month and year roll over (31 Dec + 1 is 1 Jan).
Date AddDays(Date date, int days);

// "07-Dec-2026": two-digit day, English month abbreviation, four-digit year.
std::string FormatDdMmmYyyy(Date date);

// "12/07/2026": two-digit month and day, four-digit year.
std::string FormatMmDdYyyy(Date date);

// "2026-12-07", the form dates are stored in the embedded database.
std::string FormatIso(Date date);

// The general date form of the run log: "12/7/2026 11:32:05 AM" (month and day without leading
// zero, 12-hour clock with AM/PM).
std::string FormatGeneralDate(const DateTime& moment);

}  // namespace saldor

#endif  // SALDOR_APP_DATES_H_
