#include "app/numbers.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <vector>

#include "app/run_error.h"

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

// The power of ten of the leading significant digit of a text of decimal shape, roughly: positive
// for large magnitudes, zero or negative for small ones.
long DecimalExponent(std::string_view text) {
  long exponent = 0;
  std::size_t e = text.find_first_of("eE");
  if (e != std::string_view::npos) {
    std::string_view digits = text.substr(e + 1);
    bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
      digits.remove_prefix(1);
    for (char c : digits) exponent = std::min(exponent * 10 + (c - '0'), 100000L);
    if (negative) exponent = -exponent;
    text = text.substr(0, e);
  }
  std::size_t point = text.find('.');
  std::string_view whole = text.substr(0, point);
  std::size_t first = whole.find_first_of("123456789");
  if (first != std::string_view::npos) return exponent + static_cast<long>(whole.size() - first);
  std::string_view fraction = point == std::string_view::npos ? "" : text.substr(point + 1);
  std::size_t lead = fraction.find_first_of("123456789");
  return exponent - static_cast<long>(lead == std::string_view::npos ? 100000 : lead);
}

}  // namespace

ParsedNumber ParseDecimal(std::string_view text) {
  if (!HasDecimalShape(text)) return {NumberStatus::kNotANumber, 0};
  std::string_view body = text;
  if (!body.empty() && body.front() == '+') body.remove_prefix(1);
  double value = 0;
  auto [ptr, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Too large for a double is an overflow; too small is a plain zero.
    if (DecimalExponent(body) > 0) return {NumberStatus::kOutOfRange, 0};
    return {NumberStatus::kOk, body.front() == '-' ? -0.0 : 0.0};
  }
  if (ec != std::errc() || ptr != body.data() + body.size()) return {NumberStatus::kNotANumber, 0};
  return {NumberStatus::kOk, value};
}

double ReadNumber(std::string_view text, const std::string& what) {
  const ParsedNumber number = ParseDecimal(text);
  if (number.status == NumberStatus::kOk) return number.value;
  std::vector<std::string> context = {what, "value: \"" + std::string(text) + "\""};
  if (number.status == NumberStatus::kOutOfRange) throw OverflowError(std::move(context));
  throw TypeMismatchError(std::move(context));
}

std::string NumberText(double value) {
  // The fixed form, never an exponent: SQL Server converts "1e-04" to float but refuses it for a
  // decimal or money column. The shortest fixed text that reads back exactly; the longest one, of
  // the smallest denormal, is 327 characters.
  char buf[400];
  const auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
  return std::string(buf, result.ptr);
}

}  // namespace saldor
