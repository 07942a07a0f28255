#include "import/order_totals.h"

#include <array>

namespace saldor {

Sql OrderTotalsUpdateSql() {
  const std::string text = "UPDATE Orders SET SubTotal=?,Total=?,TotalCost=? WHERE ID=?";
  return Sql{text, text};
}

OrderTotalsWriter::OrderTotalsWriter(Database& db) : update_(db.Prepare(OrderTotalsUpdateSql())) {}

void OrderTotalsWriter::RollUpOrderTotals(const ImportState& state) {
  const std::array<Param, 4> values = {state.orderSubTotalSum, state.orderSubTotalSum,
                                       state.orderCostSum, state.currentOrderId};
  update_.Execute(values);
}

}  // namespace saldor
