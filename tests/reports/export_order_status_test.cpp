#include "reports/export_order_status.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "reports/order_status_query.h"
#include "reports/report_fixture.h"

namespace saldor {
namespace {

using testing::Backend;
using testing::CsvRows;

const std::vector<std::string> kLabelRow = {
    " PO_NUMBER",       "LINE_NUMBER",        "SHIPMENT_NUMBER", "VENDOR_NAME",
    "ORDER_STATUS",     "EXPECTED_SHIP_DATE", "DATE_SHIPPED",    "EXPECTED_DELIVERY_DATE",
    "QUANTITY_SHIPPED", "TRAKCING_NUMBER",    "INVOICE_NUMBER",  "CONFIRMATION_NUMBER"};

// A data row; the shipment values stay empty when `shipDate` is.
std::vector<std::string> Row(const std::string& order, const std::string& line,
                             const std::string& shipDate = "", const std::string& qty = "",
                             const std::string& track = "", const std::string& invoice = "") {
  return {order,    line, "1", "VARNELLO", "OPEN",  "12/20/2026",
          shipDate, "",   qty, track,      invoice, ""};
}

class ExportOrderStatusTest : public ::testing::TestWithParam<Backend> {
 protected:
  void Order(int id, const std::string& number, const std::string& status = "Open",
             const std::string& customer = "SALDOR CONTRACT") {
    fixture_.database().Exec(fixture_.database().WithKeys(
        "Orders", "INSERT INTO Orders (ID, OrderNumber, Customer, Status) VALUES (" +
                      std::to_string(id) + ",'" + number + "','" + customer + "','" + status +
                      "')"));
  }
  void Line(int order, const std::string& line, int quantity, int shipped) {
    fixture_.database().Exec(
        "INSERT INTO OrderItems (OrderID, ItemNumber, Quantity, Shipped, ItemStatus, "
        "ExpectedShipDate) VALUES (" +
        std::to_string(order) + ",'" + line + "'," + std::to_string(quantity) + "," +
        std::to_string(shipped) + ",'OPEN','2026-12-20')");
  }
  // Shipment `id` (and invoice `id` + 100 when `invoiced`) of an order line.
  void Ship(int id, int order, const std::string& line, const std::string& date,
            const std::string& qty, const std::string& track = "NULL", bool invoiced = false) {
    const std::string sid = std::to_string(id);
    testing::TestDatabase& db = fixture_.database();
    db.Exec(db.WithKeys("Shipment", "INSERT INTO Shipment (ID, ShipDate, TrackNumber) VALUES (" +
                                        sid + ",'" + date + "'," + track + ")") +
            "; INSERT INTO ShipmentItems (ShipmentID, OrderID, OrderLineItem, Qty) VALUES (" + sid +
            "," + std::to_string(order) + ",'" + line + "'," + qty + ");" +
            (invoiced ? db.WithKeys("Invoice", "INSERT INTO Invoice (ID, Shipment) VALUES (" +
                                                   std::to_string(id + 100) + "," + sid + ")")
                      : ""));
  }
  // Runs the export at noon of the day; gives the rows of `fileName` after the label row.
  CsvRows Run(int year, int month, int day, const std::string& fileName) {
    RunContext context = fixture_.Context(testing::LocalNoon(year, month, day));
    EXPECT_EQ(ExportOrderStatus(context), fixture_.tempFolder() / fileName);
    CsvRows rows = testing::ReadCsv(fixture_.tempFolder() / fileName);
    EXPECT_EQ(rows.at(0), kLabelRow);
    rows.erase(rows.begin());
    return rows;
  }

  testing::ReportFixture fixture_{GetParam()};
};
SALDOR_ON_BOTH_DATABASES(ExportOrderStatusTest);

TEST_P(ExportOrderStatusTest, NumericOrdersInTextOrderWithTheirShipments) {
  Order(1, "100");
  Line(1, "2", 10, 0);
  Line(1, "10", 100, 60);  // partly shipped in two earlier shipments: one row each
  Ship(1, 1, "10", "2026-11-20", "40", "'1Z9'", true);
  Ship(2, 1, "10", "2026-12-01", "20.5");
  Order(2, "99");
  Line(2, "1", 10, 10);  // fully shipped on the run date
  Ship(3, 2, "1", "2026-12-07", "10", "'T3'", true);
  Line(2, "3", 10, 10);  // fully shipped earlier
  Ship(4, 2, "3", "2026-12-01", "10");
  Line(2, "4", 10, 10);  // on the run date, but with a time of day
  Ship(5, 2, "4", "2026-12-07 10:30:00", "10");
  Line(2, "5", 10, 10);  // on the run date at midnight exactly
  Ship(6, 2, "5", "2026-12-07 00:00:00", "10");
  Order(3, "+1.5", "Closed");
  Line(3, "1", 10, 5);  // not fully shipped, but closed: only the run date's shipment
  Ship(7, 3, "1", "2026-12-07", "5");
  Line(3, "2", 10, 5);
  Ship(8, 3, "2", "2026-12-02", "5");
  int id = 10;
  std::vector<std::string> notNumeric = {"SAMPLE-7", "12A", "1.2.3", ""};
  // SQL Server's ISNUMERIC takes a lone sign or point for a number; the embedded database's
  // stand-in for it does not.
  if (GetParam() == Backend::kSqlite) notNumeric.insert(notNumeric.end(), {"-", "."});
  for (const std::string& number : notNumeric) {
    Order(++id, number);
    Line(id, "1", 10, 0);
  }
  Order(30, "4500099", "Open", "OTHER CUSTOMER");
  Line(30, "1", 10, 0);

  CsvRows rows = Run(2026, 12, 7, "Vendor_to_saldor_08-Dec-2026.csv");
  std::sort(rows.begin() + 1, rows.begin() + 3);  // one line's shipments come in no set order
  const CsvRows expected = {
      Row("+1.5", "1", "12/07/2026", "5"),
      Row("100", "10", "11/20/2026", "40", "#1Z9", "101"),
      Row("100", "10", "12/01/2026", "20.5"),
      Row("100", "2"),
      Row("99", "1", "12/07/2026", "10", "#T3", "103"),
      Row("99", "5", "12/07/2026", "10"),
  };
  EXPECT_EQ(rows, expected);
}

TEST_P(ExportOrderStatusTest, RunOnTheLastDayOfTheYear) {
  Order(1, "600", "Closed");
  Line(1, "1", 10, 10);
  Ship(1, 1, "1", "2026-12-31", "10");
  Line(1, "2", 10, 10);
  Ship(2, 1, "2", "2027-01-01", "10");
  EXPECT_EQ(Run(2026, 12, 31, "Vendor_to_saldor_01-Jan-2027.csv"),
            (CsvRows{Row("600", "1", "12/31/2026", "10")}));
}

TEST_P(ExportOrderStatusTest, NothingToReportGivesTheLabelRowAlone) {
  RunContext context = fixture_.Context(testing::LocalNoon(2026, 3, 5));
  ExportOrderStatus(context);
  EXPECT_EQ(testing::ReadCsv(fixture_.tempFolder() / "Vendor_to_saldor_06-Mar-2026.csv"),
            (CsvRows{kLabelRow}));
}

TEST(OrderStatusQueryTest, SqlServerTextWithTheRunDateBound) {
  testing::ExpectPieces(
      OrderStatusQuery().sqlServer,
      {
          "(SELECT ' PO_NUMBER' AS OrderNumber,'LINE_NUMBER' AS ItemNumber, 'SHIPMENT_NUMBER' AS "
          "ShipmentNumber,'VENDOR_NAME' AS VendorName,",
          " 'ORDER_STATUS' AS ItemStatus,'EXPECTED_SHIP_DATE' AS ExpectedShipDate,'DATE_SHIPPED' "
          "AS ShipDate,'EXPECTED_DELIVERY_DATE' AS ExpectedDeliveryDate,",
          " 'QUANTITY_SHIPPED' AS ShipQty,'TRAKCING_NUMBER' AS TrackNumber,'INVOICE_NUMBER' AS "
          "InvoiceNumber,'CONFIRMATION_NUMBER' AS ConfirmationNumber)",
          " Union",
          " (SELECT CAST(Orders.OrderNumber AS VARCHAR),CAST(OrderItems.ItemNumber AS VARCHAR),'1' "
          "AS ShipmentNumber,'VARNELLO' AS VendorName,",
          " ISNULL(OrderItems.ItemStatus,'') AS ItemStatus,",
          " CONVERT(VARCHAR(10), OrderItems.ExpectedShipDate, 101) AS [MM/DD/YYYY],",
          " CONVERT(VARCHAR(10), Shipment.ShipDate, 101) AS [MM/DD/YYYY],",
          " '' AS ExpectedDeliveryDate, CAST(ShipmentItems.Qty AS VARCHAR) AS ShipQty,",
          " '#'+Shipment.TrackNumber,CAST(Invoice.ID AS VARCHAR) AS InvoiceNumber,'' AS "
          "ConfirmationNumber",
          " From",
          " OrderItems LEFT JOIN Orders ON OrderItems.OrderID=Orders.ID",
          " LEFT JOIN ShipmentItems ON OrderItems.OrderID=ShipmentItems.OrderID AND "
          "OrderItems.ItemNumber=ShipmentItems.OrderLineItem",
          " LEFT JOIN Shipment ON ShipmentItems.ShipmentID=Shipment.ID",
          " LEFT JOIN Invoice ON Shipment.ID=Invoice.Shipment",
          " where ISNUMERIC(Orders.OrderNumber)=1 AND",
          " Orders.Customer='SALDOR CONTRACT' AND ((OrderItems.Quantity>OrderItems.Shipped AND "
          "Orders.Status='Open') OR (Shipment.ShipDate=",
          "?",
          ")))",
          " ORDER BY OrderNumber,ItemNumber",
      });
}

}  // namespace
}  // namespace saldor
