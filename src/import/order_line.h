#ifndef SALDOR_IMPORT_ORDER_LINE_H_
#define SALDOR_IMPORT_ORDER_LINE_H_

#include <array>
#include <string_view>

#include "app/database.h"
#include "import/import_state.h"
#include "import/item_match.h"
#include "import/order_file_row.h"

namespace saldor {

// The 18 columns of `OrderItems` that a new line sets, in the order of their values.
extern const std::array<std::string_view, 18> kOrderLineColumns;

// The insert of a new order line.
Sql OrderLineInsertSql();

// The line status every imported line gets.
inline constexpr std::string_view kImportedLineStatus = "CONFIRMED-IN STOCK";

// Creates the `OrderItems` record of each row of an open order; the insert is prepared once.
// Not copyable; must not outlive `db`.
class OrderLineWriter {
 public:
  explicit OrderLineWriter(Database& db);
  OrderLineWriter(const OrderLineWriter&) = delete;
  OrderLineWriter& operator=(const OrderLineWriter&) = delete;

  // Requires an open order (`state.currentOrderId` not empty). Stores the line of `row` with the
  // item values of `item` and the extensions price x quantity, quantity x weight and landed cost
  // x quantity (unrounded doubles), then adds the price and cost extensions to the running sums.
  // A quantity, price, weight or landed cost text that is no number raises error 13, one beyond
  // a double's range or a product or sum that overflows error 6, each naming the value at fault;
  // then nothing is stored and `state` is unchanged.
  void CreateOrderLine(const OrderFileRow& row, const ItemMatch& item, ImportState& state);

 private:
  Statement insert_;
};

}  // namespace saldor

#endif  // SALDOR_IMPORT_ORDER_LINE_H_
