#include "import/order_line.h"

#include <cmath>
#include <string>
#include <vector>

#include "app/numbers.h"
#include "app/run_error.h"

namespace saldor {
namespace {

// `value` when it is finite; an overflow naming `what` and the texts it came from otherwise.
double Finite(double value, const std::string& what, const std::string& left,
              const std::string& right) {
  if (!std::isfinite(value)) {
    throw OverflowError({what, "texts: \"" + left + "\" and \"" + right + "\""});
  }
  return value;
}

}  // namespace

const std::array<std::string_view, 18> kOrderLineColumns = {
    "OrderID",         "ItemNumber", "Item",     "ItemName",     "Quantity",    "Shipped",
    "Category",        "PriceEach",  "PriceExt", "WeightEach",   "WeightExt",   "VendorPartNumber",
    "ItemDescription", "CostEach",   "CostExt",  "YardsPerRoll", "PromiseDate", "ItemStatus",
};

Sql OrderLineInsertSql() { return InsertSql("OrderItems", kOrderLineColumns); }

OrderLineWriter::OrderLineWriter(Database& db) : insert_(db.Prepare(OrderLineInsertSql())) {}

void OrderLineWriter::CreateOrderLine(const OrderFileRow& row, const ItemMatch& item,
                                      ImportState& state) {
  const std::string quantityName = "column " + std::to_string(kColQuantity) + " (quantity)";
  const std::string priceName = "column " + std::to_string(kColPriceEach) + " (unit price)";
  const std::string itemName = "item " + item.itemId;
  const double price = ReadNumber(row.ColPriceEach, priceName);
  const double quantity = ReadNumber(row.ColQuantity, quantityName);
  const double weight = ReadNumber(item.weight, "the Weight of " + itemName);
  const double landedCost = ReadNumber(item.landedCost, "the LandedCost of " + itemName);
  const double priceExt = Finite(price * quantity, "PriceExt: unit price times quantity",
                                 row.ColPriceEach, row.ColQuantity);
  const double weightExt =
      Finite(quantity * weight, "WeightExt: quantity times weight", row.ColQuantity, item.weight);
  const double costExt = Finite(landedCost * quantity, "CostExt: landed cost times quantity",
                                item.landedCost, row.ColQuantity);
  const double subTotal = Finite(state.orderSubTotalSum + priceExt, "the order's subtotal",
                                 NumberText(state.orderSubTotalSum), NumberText(priceExt));
  const double cost = Finite(state.orderCostSum + costExt, "the order's total cost",
                             NumberText(state.orderCostSum), NumberText(costExt));

  const std::vector<Param> values = {
      state.currentOrderId,              // OrderID
      row.ColLineNo,                     // ItemNumber
      item.itemId,                       // Item
      item.name,                         // ItemName
      row.ColQuantity,                   // Quantity
      std::int64_t{0},                   // Shipped
      item.category,                     // Category
      row.ColPriceEach,                  // PriceEach
      priceExt,                          // PriceExt
      item.weight,                       // WeightEach
      weightExt,                         // WeightExt
      item.vendorPartNumber,             // VendorPartNumber
      item.description,                  // ItemDescription
      item.landedCost,                   // CostEach
      costExt,                           // CostExt
      item.yardsPerRoll,                 // YardsPerRoll
      nullptr,                           // PromiseDate
      std::string(kImportedLineStatus),  // ItemStatus
  };
  insert_.Execute(values);
  state.orderSubTotalSum = subTotal;
  state.orderCostSum = cost;
}

}  // namespace saldor
