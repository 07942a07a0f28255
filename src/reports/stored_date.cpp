#include "reports/stored_date.h"

#include <chrono>

namespace saldor {
namespace {

// Reads exactly `count` digits at `pos`, advancing it; -1 when they are not all digits.
int Digits(std::string_view text, std::size_t& pos, std::size_t count) {
  if (pos + count > text.size()) return -1;
  int value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const char c = text[pos + i];
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  pos += count;
  return value;
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

}  // namespace

std::optional<DateTime> ParseStoredDate(std::string_view text) {
  std::size_t pos = 0;
  DateTime moment;
  moment.date.year = Digits(text, pos, 4);
  if (moment.date.year < 0 || !Expect(text, pos, '-')) return std::nullopt;
  moment.date.month = Digits(text, pos, 2);
  if (moment.date.month < 0 || !Expect(text, pos, '-')) return std::nullopt;
  moment.date.day = Digits(text, pos, 2);
  if (moment.date.day < 0) return std::nullopt;
  const std::chrono::year_month_day ymd{
      std::chrono::year{moment.date.year},
      std::chrono::month{static_cast<unsigned>(moment.date.month)},
      std::chrono::day{static_cast<unsigned>(moment.date.day)}};
  if (!ymd.ok()) return std::nullopt;
  if (pos == text.size()) return moment;

  if (text[pos] != ' ' && text[pos] != 'T') return std::nullopt;
  ++pos;
  moment.hour = Digits(text, pos, 2);
  if (moment.hour < 0 || moment.hour > 23 || !Expect(text, pos, ':')) return std::nullopt;
  moment.minute = Digits(text, pos, 2);
  if (moment.minute < 0 || moment.minute > 59) return std::nullopt;
  if (pos < text.size()) {
    if (!Expect(text, pos, ':')) return std::nullopt;
    moment.second = Digits(text, pos, 2);
    if (moment.second < 0 || moment.second > 59) return std::nullopt;
  }
  if (pos < text.size()) {
    if (!Expect(text, pos, '.') || pos == text.size()) return std::nullopt;
    for (; pos < text.size(); ++pos) {
      if (text[pos] < '0' || text[pos] > '9') return std::nullopt;
    }
  }
  return moment;
}

Param DateParam(const DateTime& moment) {
  if (moment.hour == 0 && moment.minute == 0 && moment.second == 0) return moment.date;
  return moment;
}

}  // namespace saldor
