#ifndef SALDOR_IMPORT_ORDER_LINE_H_
#define SALDOR_IMPORT_ORDER_LINE_H_

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/database.h"
#include "import/item_match.h"
#include "import/order_file_row.h"

namespace saldor {

// The 18 columns of `OrderItems` that a new line sets, in the order of their values.
extern const std::array<std::string_view, 18> kOrderLineColumns;

// The line status every imported line gets.
inline constexpr std::string_view kImportedLineStatus = "CONFIRMED-IN STOCK";

// One order line: the texts of its row, and once its item is known (SetLineItem), the item's
// values and the line's three extensions.
struct OrderLine {
  std::size_t row = 0;         // the file row it comes from
  std::string itemNumber;      // column 2
  std::string quantity;        // column 23
  std::string priceEach;       // column 25
  std::string customerPartNo;  // column 21
  std::string vendorPartText;  // column 19
  ItemMatch item;
  double priceExt = 0;   // unit price x quantity
  double weightExt = 0;  // quantity x weight
  double costExt = 0;    // landed cost x quantity
};

// The line of `row`, file row `rowNumber`, without its item yet.
OrderLine OrderLineOfRow(std::size_t rowNumber, const OrderFileRow& row);

// Gives `line` the item values of `item` and its extensions price x quantity, quantity x weight
// and landed cost x quantity as unrounded doubles. A quantity, price, weight or landed cost text
// that is no number raises error 13, one beyond a double's range or a product that overflows
// error 6, each naming the value at fault; `line` is then left as it was.
void SetLineItem(OrderLine& line, ItemMatch item);

// Appends the values of `line` for kOrderLineColumns, the line belonging to order `orderId`.
void AppendOrderLineValues(const OrderLine& line, const std::string& orderId,
                           std::vector<Param>& values);

}  // namespace saldor

#endif  // SALDOR_IMPORT_ORDER_LINE_H_
