#ifndef SALDOR_APP_CALENDAR_H_
#define SALDOR_APP_CALENDAR_H_

// Calendar values as the program and its database see them: plain fields, no time zone.

namespace saldor {

// A calendar date without time of day.
struct Date {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  friend bool operator==(const Date&, const Date&) = default;
};

// A local date and time of day, to the second.
struct DateTime {
  Date date;
  int hour = 0;
  int minute = 0;
  int second = 0;
  friend bool operator==(const DateTime&, const DateTime&) = default;
};

}  // namespace saldor

#endif  // SALDOR_APP_CALENDAR_H_
