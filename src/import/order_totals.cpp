#include "import/order_totals.h"

#include <cmath>

#include "app/numbers.h"
#include "app/run_error.h"

namespace saldor {

double Finite(double value, const std::string& what, const std::string& left,
              const std::string& right) {
  if (!std::isfinite(value)) {
    throw OverflowError({what, "texts: \"" + left + "\" and \"" + right + "\""});
  }
  return value;
}

void OrderTotals::Add(const OrderLine& line) {
  const double newSubTotal = Finite(subTotal + line.priceExt, "the order's subtotal",
                                    NumberText(subTotal), NumberText(line.priceExt));
  const double newCost = Finite(cost + line.costExt, "the order's total cost", NumberText(cost),
                                NumberText(line.costExt));
  subTotal = newSubTotal;
  cost = newCost;
}

}  // namespace saldor
