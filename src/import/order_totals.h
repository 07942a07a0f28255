#ifndef SALDOR_IMPORT_ORDER_TOTALS_H_
#define SALDOR_IMPORT_ORDER_TOTALS_H_

#include <string>

#include "import/order_line.h"

namespace saldor {

// `value` when it is finite; otherwise raises error 6 (Overflow) naming `what` and the two texts
// it was computed from.
double Finite(double value, const std::string& what, const std::string& left,
              const std::string& right);

// The totals of an order: the sums, over its lines in file order, of their price extensions
// (SubTotal, also Total) and of their cost extensions (TotalCost). Nothing is rounded.
struct OrderTotals {
  double subTotal = 0;
  double cost = 0;

  // Adds the extensions of `line`. A sum beyond a double's range raises error 6 naming it, and
  // leaves both sums as they were.
  void Add(const OrderLine& line);
};

}  // namespace saldor

#endif  // SALDOR_IMPORT_ORDER_TOTALS_H_
