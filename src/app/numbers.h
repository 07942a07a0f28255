#ifndef SALDOR_APP_NUMBERS_H_
#define SALDOR_APP_NUMBERS_H_

#include <optional>
#include <string>
#include <string_view>

namespace saldor {

// The outcome of reading a text as a decimal number.
enum class NumberStatus { kOk, kNotANumber, kOutOfRange };

struct ParsedNumber {
  NumberStatus status = NumberStatus::kNotANumber;
  double value = 0;
};

// Reads `text` as a decimal number: an optional sign, digits, an optional decimal point with
// digits (at least one digit in all), and an optional exponent ("e" or "E", optional sign,
// digits). Nothing else is accepted: no blanks, no thousands separators, no "inf" or "nan".
// A number whose magnitude exceeds a double's range is kOutOfRange.
ParsedNumber ParseDecimal(std::string_view text);

// `text` read by ParseDecimal as a number. A text that is no number raises error 13, one beyond
// a double's range error 6; both name `what` (where the text came from) and the text.
double ReadNumber(std::string_view text, const std::string& what);

// The shortest general decimal text that reads back as `value` exactly: digits, sign and point,
// never an exponent: "12.5", "3", "0.0001", "100000". Infinities and NaN give "inf" and "nan".
std::string NumberText(double value);

}  // namespace saldor

#endif  // SALDOR_APP_NUMBERS_H_
