#ifndef SALDOR_REPORTS_STORED_DATE_H_
#define SALDOR_REPORTS_STORED_DATE_H_

#include <optional>
#include <string_view>

#include "app/values.h"

namespace saldor {

// Reads a date as the database hands it over: "2026-12-08", optionally followed by a blank or
// "T" and a time of day "10:30", "10:30:00" or "10:30:00.000" (fractions of a second are
// dropped). Gives nothing for any other text or for a day that does not exist.
std::optional<DateTime> ParseStoredDate(std::string_view text);

// The bound parameter that stores `moment` again: a Date when it has no time of day, else a
// DateTime.
Param DateParam(const DateTime& moment);

}  // namespace saldor

#endif  // SALDOR_REPORTS_STORED_DATE_H_
