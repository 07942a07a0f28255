#include "import/imported_orders.h"

#include <array>

#include "import/order_header.h"

namespace saldor {

Sql ImportedOrderNumbersSql() {
  const std::string text =
      "SELECT OrderNumber FROM Orders WHERE Customer=? AND EnteredBy=? AND OrderDate=?";
  return Sql{text, text};
}

std::set<std::string> ImportedOrderNumbers(Database& db, Date orderDate) {
  const std::array<Param, 3> params = {std::string(PartnerConstants::kCustomer),
                                       std::string(kImportEnteredBy), orderDate};
  const ResultSet orders = db.Query(ImportedOrderNumbersSql(), params);
  std::set<std::string> numbers;
  for (std::size_t row = 0; row < orders.size(); ++row) {
    numbers.insert(orders.At(row, 0).TextOr(""));
  }
  return numbers;
}

}  // namespace saldor
