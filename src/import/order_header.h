#ifndef SALDOR_IMPORT_ORDER_HEADER_H_
#define SALDOR_IMPORT_ORDER_HEADER_H_

#include <array>
#include <string_view>

#include "app/database.h"
#include "import/import_state.h"
#include "import/order_file_row.h"

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

// The 65 columns of `Orders` that a new order sets, in the order of their values.
extern const std::array<std::string_view, 65> kOrderHeaderColumns;

// The insert of a new order that also yields its database ID.
Sql OrderHeaderInsertSql();

// Creates the `Orders` record of each order-opening row of one import; the insert is prepared
// once. Not copyable; must not outlive `db`.
class OrderHeaderWriter {
 public:
  explicit OrderHeaderWriter(Database& db);
  OrderHeaderWriter(const OrderHeaderWriter&) = delete;
  OrderHeaderWriter& operator=(const OrderHeaderWriter&) = delete;

  // Stores a new open order for `row` dated `orderDate` (also its requested ship date) and added
  // at `dateAdded`, with zero totals; then sets `state.currentOrderId` to its ID and both sums to
  // 0. Empty cells are stored as empty text. A database failure raises the driver's error and
  // leaves `state` as it was.
  void CreateOrderHeader(const OrderFileRow& row, Date orderDate, const DateTime& dateAdded,
                         ImportState& state);

 private:
  Statement insert_;
};

}  // namespace saldor

#endif  // SALDOR_IMPORT_ORDER_HEADER_H_
