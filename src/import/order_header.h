#ifndef SALDOR_IMPORT_ORDER_HEADER_H_
#define SALDOR_IMPORT_ORDER_HEADER_H_

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "app/database.h"
#include "import/order_file_row.h"
#include "import/order_totals.h"

namespace saldor {

// The values every order of the partner gets, whatever its file says.
struct PartnerConstants {
  static constexpr std::string_view kCustomer = "SALDOR CONTRACT";  // Customer, BillTo
  static constexpr std::string_view kTerms = "Net 60";
  static constexpr std::string_view kShipMethod = "";
  static constexpr std::string_view kSalesType = "";
  static constexpr std::string_view kSalesRep = "138";
  static constexpr std::string_view kLocation = "RVL - MS";
  static constexpr std::string_view kFreightTerms = "";
  static constexpr std::string_view kOrderType = "REGULAR";
};

// Who every imported order is entered by.
inline constexpr std::string_view kImportEnteredBy = "SaldorImport";

// The 65 columns of `Orders` that a new order sets, in the order of their values.
extern const std::array<std::string_view, 65> kOrderHeaderColumns;

// Appends the values of kOrderHeaderColumns for a new open order of the file row `row` (the
// row that opens it), dated `orderDate` (also its requested ship date), added at `dateAdded` and
// with its final totals. Empty cells give empty text.
void AppendOrderHeaderValues(const OrderFileRow& row, Date orderDate, const DateTime& dateAdded,
                             const OrderTotals& totals, std::vector<Param>& values);

}  // namespace saldor

#endif  // SALDOR_IMPORT_ORDER_HEADER_H_
