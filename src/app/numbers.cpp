#include "app/numbers.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace saldor {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// True when `text` has the shape sign? digits* (. digits*)? (e sign? digits+)? with one digit at
// least before the exponent.
bool HasDecimalShape(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < n && IsDigit(text[i])) ++i, ++digits;
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < n && IsDigit(text[i])) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  return i == n;
}

}  // namespace

ParsedNumber ParseDecimal(std::string_view text) {
  if (!HasDecimalShape(text)) return {NumberStatus::kNotANumber, 0};
  std::string_view body = text;
  if (!body.empty() && body.front() == '+') body.remove_prefix(1);
  double value = 0;
  auto [ptr, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // from_chars also says so for a value too small to hold; that one is a plain zero.
    bool tiny = false;
    for (char c : body) {
      if (c == 'e' || c == 'E') {
        tiny =
            body.find("e-") != std::string_view::npos || body.find("E-") != std::string_view::npos;
        break;
      }
    }
    if (tiny) return {NumberStatus::kOk, body.front() == '-' ? -0.0 : 0.0};
    return {NumberStatus::kOutOfRange, 0};
  }
  if (ec != std::errc() || ptr != body.data() + body.size()) return {NumberStatus::kNotANumber, 0};
  return {NumberStatus::kOk, value};
}

std::string NumberText(double value) {
  char buf[64];
  auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
  (void)ec;
  return std::string(buf, ptr);
}

}  // namespace saldor
