#include "reports/inventory_allocation.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace saldor {

double RoundToCents(double value) {
  // Beyond this magnitude a double has no digits left below the cent.
  if (!std::isfinite(value) || std::fabs(value) >= 1e13) return value;
  // Anything below half a cent rounds to 0 (and an exact half a cent to the even 0.00).
  if (std::fabs(value) < 0.005) return 0;
  char text[64];
  const auto end =
      std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::fixed).ptr;
  std::int64_t cents = 0;
  const char* p = text;
  for (; p < end && *p != '.'; ++p) cents = cents * 10 + (*p - '0');
  const char* decimals = p < end ? p + 1 : end;
  for (int i = 0; i < 2; ++i) {
    cents = cents * 10 + (decimals + i < end ? decimals[i] - '0' : 0);
  }
  const char* rest = decimals + 2;
  if (rest < end) {
    const int first = *rest - '0';
    bool beyondHalf = false;
    for (const char* q = rest + 1; q < end; ++q) beyondHalf = beyondHalf || *q != '0';
    if (first > 5 || (first == 5 && (beyondHalf || cents % 2 == 1))) ++cents;
  }
  const double rounded = static_cast<double>(cents) / 100.0;
  return value < 0 ? -rounded : rounded;
}

ReportedQuantities InventoryAllocation::Next(const InventoryRow& row) {
  const bool newGroup = row.partNumber1 != partNumber1_ || row.partNumber2 != partNumber2_ ||
                        row.partNumber3 != partNumber3_;
  double stock = 0;
  if (newGroup) {
    shortfall_ = -row.addSpokenFor;
    stock = row.qtyAvail;
  }

  double inProduction = 0;
  if (shortfall_ == 0) {
    inProduction = row.inProduction;
  } else if (shortfall_ > row.inProduction) {
    shortfall_ -= row.inProduction;
  } else {
    inProduction = row.inProduction - shortfall_;
    shortfall_ = 0;
  }

  ReportedQuantities result;
  result.qtyAvail = RoundToCents(stock);
  result.inProduction = RoundToCents(inProduction);
  result.reported = result.qtyAvail != 0 || result.inProduction != 0;

  if (newGroup) {
    partNumber1_.assign(row.partNumber1);
    partNumber2_.assign(row.partNumber2);
    partNumber3_.assign(row.partNumber3);
  }
  return result;
}

}  // namespace saldor
