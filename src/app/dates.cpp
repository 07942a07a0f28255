#include "app/dates.h"

#include <cstdio>
#include <ctime>

namespace saldor {
namespace {

constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

}  // namespace

Clock SystemClock() {
  return [] { return std::chrono::system_clock::now(); };
}

DateTime LocalDateTime(TimePoint moment) {
  std::time_t t = std::chrono::system_clock::to_time_t(moment);
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &t);
#else
  localtime_r(&t, &tm);
#endif
  return DateTime{Date{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday}, tm.tm_hour, tm.tm_min,
                  tm.tm_sec};
}

Date AddDays(Date date, int days) {
  using namespace std::chrono;
  sys_days d = year_month_day{year{date.year}, month{static_cast<unsigned>(date.month)},
                              day{static_cast<unsigned>(date.day)}};
  year_month_day moved{d + std::chrono::days{days}};
  return Date{static_cast<int>(moved.year()),
              static_cast<int>(static_cast<unsigned>(moved.month())),
              static_cast<int>(static_cast<unsigned>(moved.day()))};
}

std::string FormatDdMmmYyyy(Date date) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d-%s-%04d", date.day, kMonths[(date.month - 1) % 12],
                date.year);
  return buf;
}

std::string FormatMmDdYyyy(Date date) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", date.month, date.day, date.year);
  return buf;
}

std::string FormatIso(Date date) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", date.year, date.month, date.day);
  return buf;
}

std::string FormatGeneralDate(const DateTime& moment) {
  int hour12 = moment.hour % 12 == 0 ? 12 : moment.hour % 12;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d/%d/%d %d:%02d:%02d %s", moment.date.month, moment.date.day,
                moment.date.year, hour12, moment.minute, moment.second,
                moment.hour < 12 ? "AM" : "PM");
  return buf;
}

}  // namespace saldor
