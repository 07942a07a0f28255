#include "import/order_line.h"

#include <utility>

#include "app/numbers.h"
#include "import/order_totals.h"

namespace saldor {

const std::array<std::string_view, 18> kOrderLineColumns = {
    "OrderID",         "ItemNumber", "Item",     "ItemName",     "Quantity",    "Shipped",
    "Category",        "PriceEach",  "PriceExt", "WeightEach",   "WeightExt",   "VendorPartNumber",
    "ItemDescription", "CostEach",   "CostExt",  "YardsPerRoll", "PromiseDate", "ItemStatus",
};

OrderLine OrderLineOfRow(std::size_t rowNumber, const OrderFileRow& row) {
  OrderLine line;
  line.row = rowNumber;
  line.itemNumber = row.ColLineNo;
  line.quantity = row.ColQuantity;
  line.priceEach = row.ColPriceEach;
  line.customerPartNo = row.ColCustomerPartNo;
  line.vendorPartText = row.ColVendorPartText;
  return line;
}

void SetLineItem(OrderLine& line, ItemMatch item) {
  static const std::string quantityName = "column " + std::to_string(kColQuantity) + " (quantity)";
  static const std::string priceName = "column " + std::to_string(kColPriceEach) + " (unit price)";
  const std::string itemName = "item " + item.itemId;
  const double price = ReadNumber(line.priceEach, priceName);
  const double quantity = ReadNumber(line.quantity, quantityName);
  const double weight = ReadNumber(item.weight, "the Weight of " + itemName);
  const double landedCost = ReadNumber(item.landedCost, "the LandedCost of " + itemName);
  const double priceExt = Finite(price * quantity, "PriceExt: unit price times quantity",
                                 line.priceEach, line.quantity);
  const double weightExt =
      Finite(quantity * weight, "WeightExt: quantity times weight", line.quantity, item.weight);
  const double costExt = Finite(landedCost * quantity, "CostExt: landed cost times quantity",
                                item.landedCost, line.quantity);
  line.priceExt = priceExt;
  line.weightExt = weightExt;
  line.costExt = costExt;
  line.item = std::move(item);
}

void AppendOrderLineValues(const OrderLine& line, const std::string& orderId,
                           std::vector<Param>& values) {
  const ItemMatch& item = line.item;
  values.emplace_back(orderId);                           // OrderID
  values.emplace_back(line.itemNumber);                   // ItemNumber
  values.emplace_back(item.itemId);                       // Item
  values.emplace_back(item.name);                         // ItemName
  values.emplace_back(line.quantity);                     // Quantity
  values.emplace_back(std::int64_t{0});                   // Shipped
  values.emplace_back(item.category);                     // Category
  values.emplace_back(line.priceEach);                    // PriceEach
  values.emplace_back(line.priceExt);                     // PriceExt
  values.emplace_back(item.weight);                       // WeightEach
  values.emplace_back(line.weightExt);                    // WeightExt
  values.emplace_back(item.vendorPartNumber);             // VendorPartNumber
  values.emplace_back(item.description);                  // ItemDescription
  values.emplace_back(item.landedCost);                   // CostEach
  values.emplace_back(line.costExt);                      // CostExt
  values.emplace_back(item.yardsPerRoll);                 // YardsPerRoll
  values.emplace_back(nullptr);                           // PromiseDate
  values.emplace_back(std::string(kImportedLineStatus));  // ItemStatus
}

}  // namespace saldor
