#ifndef SALDOR_IMPORT_ORDER_TOTALS_H_
#define SALDOR_IMPORT_ORDER_TOTALS_H_

#include "app/database.h"
#include "import/import_state.h"

namespace saldor {

// The update of an order's totals: SubTotal, Total, TotalCost, then the order's ID.
Sql OrderTotalsUpdateSql();

// `RollUpOrderTotals` for the orders of one import; the update is prepared once. Not copyable;
// must not outlive `db`.
class OrderTotalsWriter {
 public:
  explicit OrderTotalsWriter(Database& db);
  OrderTotalsWriter(const OrderTotalsWriter&) = delete;
  OrderTotalsWriter& operator=(const OrderTotalsWriter&) = delete;

  // Requires an open order in `state`. Writes `orderSubTotalSum` into its SubTotal and Total and
  // `orderCostSum` into its TotalCost; an ID that names no order changes nothing. The sums are
  // left as they are. A database failure raises the driver's error.
  void RollUpOrderTotals(const ImportState& state);

 private:
  Statement update_;
};

}  // namespace saldor

#endif  // SALDOR_IMPORT_ORDER_TOTALS_H_
