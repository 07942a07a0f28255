#include "reports/export_order_status.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "reports/order_status_query.h"
#include "reports/report_fixture.h"
#include "reports/sql_pieces.h"

namespace saldor {
namespace {

using testing::CsvRows;
using testing::LocalNoon;
using testing::ReadCsv;
using testing::ReportFixture;

const std::vector<std::string> kLabelRow = {
    " PO_NUMBER",       "LINE_NUMBER",        "SHIPMENT_NUMBER", "VENDOR_NAME",
    "ORDER_STATUS",     "EXPECTED_SHIP_DATE", "DATE_SHIPPED",    "EXPECTED_DELIVERY_DATE",
    "QUANTITY_SHIPPED", "TRAKCING_NUMBER",    "INVOICE_NUMBER",  "CONFIRMATION_NUMBER"};

// A data row of a line without shipment.
std::vector<std::string> Open(const std::string& order, const std::string& line,
                              const std::string& status, const std::string& expected) {
  return {order, line, "1", "VARNELLO", status, expected, "", "", "", "", "", ""};
}

// A data row of a line with one shipment.
std::vector<std::string> Shipped(const std::string& order, const std::string& line,
                                 const std::string& shipDate, const std::string& qty,
                                 const std::string& track, const std::string& invoice) {
  return {order,    line, "1", "VARNELLO", "OPEN",  "12/20/2026",
          shipDate, "",   qty, track,      invoice, ""};
}

class ExportOrderStatusTest : public ::testing::Test {
 protected:
  void Order(int id, const std::string& number, const std::string& status = "Open",
             const std::string& customer = "SALDOR CONTRACT") {
    db().Exec("INSERT INTO Orders (ID, OrderNumber, Customer, Status) VALUES (" +
              std::to_string(id) + ",'" + number + "','" + customer + "','" + status + "')");
  }
  void Line(int order, const std::string& line, double quantity, double shipped,
            const std::string& status = "'OPEN'") {
    db().Exec(
        "INSERT INTO OrderItems (OrderID, ItemNumber, Quantity, Shipped, ItemStatus, "
        "ExpectedShipDate) VALUES (" +
        std::to_string(order) + ",'" + line + "'," + std::to_string(quantity) + "," +
        std::to_string(shipped) + "," + status + ",'2026-12-20')");
  }
  // Shipment `id` of order line `order`/`line`, with its date, quantity and tracking number.
  void Shipment(int id, int order, const std::string& line, const std::string& date,
                const std::string& qty, const std::string& track = "NULL") {
    db().Exec("INSERT INTO Shipment (ID, ShipDate, TrackNumber) VALUES (" + std::to_string(id) +
              ",'" + date + "'," + track + ");" +
              "INSERT INTO ShipmentItems (ShipmentID, OrderID, OrderLineItem, Qty) VALUES (" +
              std::to_string(id) + "," + std::to_string(order) + ",'" + line + "'," + qty + ")");
  }
  void Invoice(int id, int shipment) {
    db().Exec("INSERT INTO Invoice (ID, Shipment) VALUES (" + std::to_string(id) + "," +
              std::to_string(shipment) + ")");
  }

  testing::TestDatabase& db() { return fixture_.database(); }

  // Runs the export on `day` at noon; gives the file's rows after the label row.
  CsvRows Run(int year, int month, int day, const std::string& fileName) {
    RunContext context = fixture_.Context(LocalNoon(year, month, day));
    ExportOrderStatus(context);
    EXPECT_EQ(fixture_.Uploads(1).size(), 1u);
    CsvRows rows = ReadCsv(fixture_.tempFolder() / fileName);
    EXPECT_FALSE(rows.empty());
    if (rows.empty()) return rows;
    EXPECT_EQ(rows.front(), kLabelRow);
    rows.erase(rows.begin());
    return rows;
  }

  ReportFixture fixture_;
};

TEST_F(ExportOrderStatusTest, LabelRowThenNumericOrdersInTextOrder) {
  Order(1, "100");
  Line(1, "2", 10, 0);
  Line(1, "10", 10, 0, "NULL");
  Order(2, "99");
  Line(2, "1", 10, 0);
  Order(3, "1.5");
  Line(3, "1", 10, 0);
  Order(4, "+7");
  Line(4, "1", 10, 0);
  for (const char* notNumeric : {"SAMPLE-7", "12A", "1.2.3", "", "-", "."}) {
    static int id = 10;
    Order(++id, notNumeric);
    Line(id, "1", 10, 0);
  }
  Order(30, "4500099", "Open", "OTHER CUSTOMER");
  Line(30, "1", 10, 0);

  const CsvRows expected = {
      Open("+7", "1", "OPEN", "12/20/2026"), Open("1.5", "1", "OPEN", "12/20/2026"),
      Open("100", "10", "", "12/20/2026"),   Open("100", "2", "OPEN", "12/20/2026"),
      Open("99", "1", "OPEN", "12/20/2026"),
  };
  EXPECT_EQ(Run(2026, 12, 7, "Vendor_to_saldor_08-Dec-2026.csv"), expected);
}

TEST_F(ExportOrderStatusTest, ShipmentsOfOpenLinesAndOfTheRunDate) {
  Order(1, "500");
  Line(1, "1", 100, 60);  // partly shipped in two earlier shipments: one row each
  Shipment(1, 1, "1", "2026-11-20", "40", "'1Z999'");
  Invoice(70, 1);
  Shipment(2, 1, "1", "2026-12-01", "20.5");
  Line(1, "2", 10, 10);  // fully shipped on the run date
  Shipment(3, 1, "2", "2026-12-07", "10", "'TRK3'");
  Invoice(71, 3);
  Line(1, "3", 10, 10);  // fully shipped before
  Shipment(4, 1, "3", "2026-12-01", "10");
  Line(1, "4", 10, 10);  // shipped on the run date, but with a time of day
  Shipment(5, 1, "4", "2026-12-07 10:30:00", "10");
  Line(1, "5", 10, 10);  // shipped on the run date at midnight exactly
  Shipment(6, 1, "5", "2026-12-07 00:00:00", "10");
  Order(2, "501", "Closed");
  Line(2, "1", 10, 5);  // closed order: only with the run date's shipment
  Shipment(7, 2, "1", "2026-12-07", "5");
  Line(2, "2", 10, 5);
  Shipment(8, 2, "2", "2026-12-02", "5");

  CsvRows rows = Run(2026, 12, 7, "Vendor_to_saldor_08-Dec-2026.csv");
  // Rows of one order line come in no defined order.
  std::sort(rows.begin(), rows.end());
  const CsvRows expected = {
      Shipped("500", "1", "11/20/2026", "40", "#1Z999", "70"),
      Shipped("500", "1", "12/01/2026", "20.5", "", ""),
      Shipped("500", "2", "12/07/2026", "10", "#TRK3", "71"),
      Shipped("500", "5", "12/07/2026", "10", "", ""),
      Shipped("501", "1", "12/07/2026", "5", "", ""),
  };
  EXPECT_EQ(rows, expected);
}

TEST_F(ExportOrderStatusTest, RunOnTheLastDayOfTheYear) {
  Order(1, "600", "Closed");
  Line(1, "1", 10, 10);
  Shipment(1, 1, "1", "2026-12-31", "10");
  Line(1, "2", 10, 10);
  Shipment(2, 1, "2", "2027-01-01", "10");

  EXPECT_EQ(Run(2026, 12, 31, "Vendor_to_saldor_01-Jan-2027.csv"),
            (CsvRows{Shipped("600", "1", "12/31/2026", "10", "", "")}));
  const auto uploads = fixture_.Uploads(1);
  ASSERT_EQ(uploads.size(), 1u);
  EXPECT_EQ(uploads[0],
            (std::vector<std::string>{"partner.example", "ftpvend1", "qT#wz4Lp",
                                      std::filesystem::absolute(fixture_.tempFolder() /
                                                                "Vendor_to_saldor_01-Jan-2027.csv")
                                          .string()}));
}

TEST_F(ExportOrderStatusTest, NoLinesGiveTheLabelRowAloneStillUploadedUnderTheBusyPointer) {
  Order(1, "700", "Open");
  Line(1, "1", 10, 10);

  RunContext context = fixture_.Context(LocalNoon(2026, 3, 5));
  int pointerWhileWorking = -1;
  const auto moment = LocalNoon(2026, 3, 5);
  context.clock = [&] {
    pointerWhileWorking = fixture_.screen().MousePointer;
    return moment;
  };
  ExportOrderStatus(context);
  EXPECT_EQ(pointerWhileWorking, Screen::kBusy);
  EXPECT_EQ(fixture_.screen().MousePointer, Screen::kDefault);
  EXPECT_EQ(ReadCsv(fixture_.tempFolder() / "Vendor_to_saldor_06-Mar-2026.csv"),
            (CsvRows{kLabelRow}));
  EXPECT_EQ(fixture_.Uploads(1).size(), 1u);
}

TEST(OrderStatusQueryTest, SqlServerTextIsTheFixedQueryWithTheRunDateBound) {
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
