#include "import/import_order_file.h"

#include <gtest/gtest.h>

#include <ctime>
#include <map>
#include <optional>

#include "app/error_numbers.h"
#include "app/run_error.h"
#include "support/clock.h"
#include "support/temp_dir.h"
#include "support/test_database.h"

namespace saldor {
namespace {

using testing::Backend;
using testing::LocalMoment;
using testing::TempDir;
using testing::TestDatabase;
using Record = testing::TestDatabase::Record;
using namespace std::string_literals;

// One data row of an order file: the five cells most rows need, and any others by column.
struct Row {
  std::string order;
  std::string line;
  std::string part = "CAN10.NAT";
  std::string quantity = "10";
  std::string price = "2.5";
  std::map<int, std::string> cells = {};
};

std::string CsvField(const std::string& value) {
  if (value.find_first_of(",\"\r\n") == std::string::npos) return value;
  std::string quoted = "\"";
  for (char c : value) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string OrderFile(const std::vector<Row>& rows) {
  std::string text;
  for (int c = 1; c <= 35; ++c) text += (c > 1 ? ",H" : "H") + std::to_string(c);
  text += "\r\n";
  for (const Row& row : rows) {
    std::map<int, std::string> cells = row.cells;
    cells[1] = row.order;
    cells[2] = row.line;
    cells[21] = row.part;
    cells[23] = row.quantity;
    cells[25] = row.price;
    for (int c = 1; c <= 35; ++c) text += (c > 1 ? "," : "") + CsvField(cells[c]);
    text += "\r\n";
  }
  return text;
}

// `latin1` as UTF-16 little-endian with its byte-order mark, each byte read as Latin-1, as
// Windows PowerShell's Out-File writes an order file.
std::string Utf16LeFile(const std::string& latin1) {
  std::string bytes = "\xFF\xFE";
  for (char c : latin1) bytes.append({c, '\0'});
  return bytes;
}

constexpr const char* kItems = R"sql(
INSERT INTO Item (ID, Name, Category, Weight, VendorPartNumber, LandedCost, YardsPerRoll, Inactive)
VALUES (101, 'Canvas Natural', 'CANVAS', 0.5, 'VN-CAN-NAT', 3.25, 60, 0),
       (102, 'Twill Khaki', 'TWILL', 0.25, 'VN-TWL', 2, 80, NULL),
       (106, 'Duck Olive', 'CANVAS', 0.75, 'VN-DCK', 4, 50, 1),
       (107, 'Jersey', 'KNIT', 0.3, 'VN-JRS', 2.6, 40, 0),
       (108, NULL, NULL, NULL, NULL, NULL, NULL, 0),
       (110, 'Front', 'X', 1, 'VF', 1, 1, 0),
       (111, 'Back', 'X', 1, 'VB', 1, 1, 0)
)sql";
constexpr const char* kPartNumbers = R"sql(
INSERT INTO ItemCustomerPartNumber (ItemID, CustomerID, CustomerPartNumber1, CustomerPartNumber2)
VALUES (101, 645, 'CAN10', 'NAT'), (102, 645, 'TWL07', 'KHA'), (106, 645, 'DCK12', 'OLV'),
       (107, 12, 'JRS', 'HGR'), (108, 645, 'NUL', 'L'), (110, 645, '', 'F'), (111, 645, 'B', '');
)sql";

class ImportOrderFileTest : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    database.Exec(database.WithKeys("Item", kItems));
    database.Exec(kPartNumbers);
  }

  void WriteOrderFile(const std::string& text, const std::string& date = "31-Dec-2026") {
    testing::WriteFile(folder / ("Saldor_to_vendor_" + date + ".csv"), text);
  }

  // Every row of `sql` as column -> text (nullopt for NULL).
  std::vector<Record> Select(const std::string& sql) { return database.Rows(sql); }

  std::string Scalar(const std::string& sql) { return database.Scalar(sql); }

  // The error the import raises; fails the test when there is none.
  RunError ImportError() {
    try {
      ImportOrderFile(context);
    } catch (const RunError& error) {
      return error;
    }
    ADD_FAILURE() << "the import raised no error";
    return RunError(0, "none");
  }

  TestDatabase database{GetParam()};
  TempDir folder{"saldor import"};
  Settings settings;
  Screen screen;
  TimePoint now = LocalMoment(2026, 12, 31, 10, 30, 0);
  RunContext context{database.db(), folder.path(), settings, screen, [this] { return now; }};
};

SALDOR_ON_BOTH_DATABASES(ImportOrderFileTest);

TEST_P(ImportOrderFileTest, WritesEveryFieldOfAnOrderAndItsLine) {
  WriteOrderFile(OrderFile({{"PO-1001",
                             "1",
                             "CAN10.NAT",
                             "10",
                             "2.5",
                             {{6, "ignored"},
                              {7, "Acme Fabrics"},
                              {8, "1 Main St"},
                              {9, "Suite 2"},
                              {10, "Boston"},
                              {11, "MA"},
                              {12, "2134"},
                              {14, "PO Box 9"},
                              {15, "Dept 4"},
                              {16, "Albany"},
                              {17, "NY"},
                              {18, "1220"},
                              {19, "NOT*USED"},
                              {27, "Rush"},
                              {35, "Dock 3"}}}}));
  ImportOrderFile(context);

  const std::vector<Record> orders = Select("SELECT * FROM Orders");
  ASSERT_EQ(orders.size(), 1u);
  EXPECT_EQ(orders[0].at("DateAdded"), "2026-12-31 10:30:00");
  const Record expectedOrder = {{"ID", "1"},
                                {"OrderNumber", "PO-1001"},
                                {"Customer", "SALDOR CONTRACT"},
                                {"OrderDate", "2027-01-01"},
                                {"ShipDate", ""},
                                {"RequestedShipDate", "2027-01-01"},
                                {"ETA", ""},
                                {"ShipTo", "Acme Fabrics"},
                                {"ShipToAddress1", "1 Main St"},
                                {"ShipToAddress2", "Suite 2"},
                                {"ShipToCity", "Boston"},
                                {"ShipToState", "MA"},
                                {"ShipToZip", "02134"},
                                {"ShipToContact", ""},
                                {"ShipToPhone", ""},
                                {"ShipToFax", ""},
                                {"BillTo", "SALDOR CONTRACT"},
                                {"BillToAddress1", "PO Box 9"},
                                {"BillToAddress2", "Dept 4"},
                                {"BillToCity", "Albany"},
                                {"BillToState", "NY"},
                                {"BillToZip", "1220"},
                                {"BillToContact", ""},
                                {"BillToPhone", ""},
                                {"BillToFax", ""},
                                {"Terms", "Net 60"},
                                {"Status", "Open"},
                                {"DateAdded", orders[0].at("DateAdded")},
                                {"ShipMethod", ""},
                                {"SubTotal", "25"},
                                {"Freight", "0"},
                                {"Miscellaneous", "0"},
                                {"DiscountPercent", "0"},
                                {"TaxPercent", "0"},
                                {"Total", "25"},
                                {"EnteredBy", "SaldorImport"},
                                {"Memo", "Rush\r\nDock 3"},
                                {"InvoiceMemo", ""},
                                {"SalesType", ""},
                                {"SalesRep", "138"},
                                {"DirectSale", "0"},
                                {"TotalCost", "32.5"},
                                {"FOB", ""},
                                {"ProductCategory", ""},
                                {"RequestedDeliveryDate", ""},
                                {"Location", "RVL - MS"},
                                {"FreightTerms", ""},
                                {"TPBillTo", ""},
                                {"TPBillToA1", ""},
                                {"TPBillToA2", ""},
                                {"TPBillToCity", ""},
                                {"TPBillToState", ""},
                                {"TPBillToZip", ""},
                                {"TPContact", ""},
                                {"TPPhone", ""},
                                {"TPFax", ""},
                                {"TPAcctNo", ""},
                                {"PickTicketPrinted", "0"},
                                {"Flagged", "0"},
                                {"ShipFrom", "SALDOR CONTRACT"},
                                {"ShipFromAddress", "88 QUARRY LANE WEST"},
                                {"ShipFromCity", "WESTBRAM"},
                                {"ShipFromState", "NY"},
                                {"ShipFromZip", "11999"},
                                {"Memo2", ""},
                                {"OrderType", "REGULAR"}};
  EXPECT_EQ(orders[0], expectedOrder);

  const std::vector<Record> lines = Select("SELECT * FROM OrderItems");
  ASSERT_EQ(lines.size(), 1u);
  const Record expectedLine = {{"ID", "1"},
                               {"OrderID", "1"},
                               {"ItemNumber", "1"},
                               {"Item", "101"},
                               {"ItemName", "Canvas Natural"},
                               {"Quantity", "10"},
                               {"Shipped", "0"},
                               {"Category", "CANVAS"},
                               {"PriceEach", "2.5"},
                               {"PriceExt", "25"},
                               {"WeightEach", "0.5"},
                               {"WeightExt", "5"},
                               {"VendorPartNumber", "VN-CAN-NAT"},
                               {"ItemDescription", "CAN10.NAT"},
                               {"CostEach", "3.25"},
                               {"CostExt", "32.5"},
                               {"YardsPerRoll", "60"},
                               {"PromiseDate", std::nullopt},
                               {"ItemStatus", "CONFIRMED-IN STOCK"},
                               {"ExpectedShipDate", std::nullopt}};
  EXPECT_EQ(lines[0], expectedLine);
}

TEST_P(ImportOrderFileTest, GroupsRowsIntoOrdersByLineNumberOne) {
  WriteOrderFile(OrderFile({
      {"PO-0", "1x", "NODOT"},                 // before any order: nothing
      {"PO-1", " 1 ", "CAN10.NAT", "1", "2"},  // opens A
      {"PO-X", "2", "CAN10.NAT", "2", "2"},    // new number, still A
      {"PO-1", "11", "CAN10.NAT", "3", "2"},
      {"PO-1", "1.5", "CAN10.NAT", "4", "2"},
      {"PO-1", "A1", "CAN10.NAT", "5", "2"},
      {"PO-1", "1", "CAN10.NAT", "10", "2.5"},  // same number: opens B
      {"PO-2", "1", "ZZZ.999", "4", "1.25"},    // opens C, unmatched item
      {"PO-2", "2", "ZZZ.998", "2", "1.25"},
      {" ' ", "2"},   // ends the data
      {"PO-9", "1"},  // never read
  }));
  ImportOrderFile(context);

  const std::vector<Record> orders =
      Select("SELECT OrderNumber, SubTotal, Total, TotalCost FROM Orders ORDER BY ID");
  const std::vector<Record> expected = {
      {{"OrderNumber", "PO-1"}, {"SubTotal", "30"}, {"Total", "30"}, {"TotalCost", "48.75"}},
      {{"OrderNumber", "PO-1"}, {"SubTotal", "25"}, {"Total", "25"}, {"TotalCost", "32.5"}},
      {{"OrderNumber", "PO-2"}, {"SubTotal", "7.5"}, {"Total", "7.5"}, {"TotalCost", "0"}},
  };
  EXPECT_EQ(orders, expected);
  EXPECT_EQ(database.Lines("SELECT OrderID, ItemNumber FROM OrderItems ORDER BY ID"),
            (std::vector<std::string>{"1|1", "1|2", "1|11", "1|1.5", "1|A1", "2|1", "3|1", "3|2"}));
}

TEST_P(ImportOrderFileTest, EndOfDataIsTheFirstRowWithoutOrderNumber) {
  int day = 27;
  for (const std::string end : {"", "   ", "''", " ' "}) {
    // Each a day later: an order number that came on an earlier day's file is a new order.
    now = LocalMoment(2026, 12, ++day, 10, 30, 0);
    WriteOrderFile(OrderFile({{"PO-1", "1"}, {end, "2"}, {"PO-2", "1"}}),
                   std::to_string(day) + "-Dec-2026");
    ImportOrderFile(context);
  }
  EXPECT_EQ(database.Lines("SELECT COUNT(*), SUM(CASE WHEN OrderNumber = 'PO-1' THEN 1 END), "
                           "SUM(CASE WHEN SubTotal = 25 THEN 1 END) FROM Orders"),
            std::vector<std::string>{"4|4|4"});
  // No data rows at all: nothing, and no error.
  for (const std::string& text :
       std::vector<std::string>{"", "heading only", OrderFile({{"", "1"}, {"PO-3", "1"}})}) {
    WriteOrderFile(text);
    ImportOrderFile(context);
  }
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM Orders"), "4");
}

TEST_P(ImportOrderFileTest, CleansCellsKeepsRawTextAndReadsWindows1252) {
  std::string file = OrderFile({
      {"'00123'",
       "1",
       "CAN10.NAT",
       "010",
       "2.50",
       {{7, "  O'Brien's  "}, {12, "213"}, {18, "02134"}, {27, "Call, then\r\n\"leave\""}}},
      {"00124", "1", "CAN10.NAT", "1", "1", {{7, "Caf\xE9"}, {12, "12345"}}},
  });
  const std::vector<Record> expected{{{"OrderNumber", "00123"},
                                      {"ShipTo", "OBriens"},
                                      {"ShipToZip", "213"},
                                      {"BillToZip", "02134"},
                                      {"Memo", "Call, then\r\n\"leave\"\r\n"}},
                                     {{"OrderNumber", "00124"},
                                      {"ShipTo", "Caf\xC3\xA9"},
                                      {"ShipToZip", "12345"},
                                      {"BillToZip", ""},
                                      {"Memo", "\r\n"}}};
  WriteOrderFile(file);
  ImportOrderFile(context);
  EXPECT_EQ(
      Select("SELECT OrderNumber, ShipTo, ShipToZip, BillToZip, Memo FROM Orders ORDER BY ID"),
      expected);

  // The same file as Windows PowerShell writes it gives the same orders.
  database.Exec("DELETE FROM OrderItems; DELETE FROM Orders;");
  WriteOrderFile(Utf16LeFile(file));
  ImportOrderFile(context);
  EXPECT_EQ(
      Select("SELECT OrderNumber, ShipTo, ShipToZip, BillToZip, Memo FROM Orders ORDER BY ID"),
      expected);
}

TEST_P(ImportOrderFileTest, MatchesPartNumbersToActiveItemsOrThePlaceholder) {
  WriteOrderFile(OrderFile({
      {"PO-1", "1", "CAN10.NAT.W58", "1", "1", {{19, "X*Y"}}},  // three pieces, matched
      {"PO-1", "2", "JRS.HGR"},                                 // mapped for another customer
      {"PO-1", "3", "DCK12.OLV", "1", "1", {{19, "AB*C**D"}}},  // inactive item
      {"PO-1", "4", "NODOT"},
      {"PO-1", "5", ""},
      {"PO-1", "6", ".F"},
      {"PO-1", "7", "B."},
      {"PO-1", "8", "CAN10 . NAT"},
      {"PO-1", "9", "NUL.L"},
      {"PO-1", "10", "TWL07.KHA"},  // Inactive NULL is active
  }));
  ImportOrderFile(context);
  const std::vector<std::string> lines = database.Lines(
      "SELECT Item, ItemName, Category, WeightEach, VendorPartNumber, "
      "ItemDescription, CostEach, YardsPerRoll FROM OrderItems ORDER BY ID");
  const std::string placeholder = "3833|Saldor Item Not Found|OTHER|0|";
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "101|Canvas Natural|CANVAS|0.5|VN-CAN-NAT|CAN10.NAT.W58|3.25|60",
                       "107|Jersey|KNIT|0.3|VN-JRS|JRS.HGR|2.6|40",
                       placeholder + "AB C  D|DCK12.OLV|0|0",
                       placeholder + "|NODOT|0|0",
                       placeholder + "||0|0",
                       "110|Front|X|1|VF|.F|1|1",
                       "111|Back|X|1|VB|B.|1|1",
                       placeholder + "|CAN10 . NAT|0|0",
                       "108|||0||NUL.L|0|0",
                       "102|Twill Khaki|TWILL|0.25|VN-TWL|TWL07.KHA|2|80",
                   }));
}

TEST_P(ImportOrderFileTest, DecimalAndNegativeQuantitiesGiveUnroundedExtensions) {
  WriteOrderFile(OrderFile({{"PO-1", "1", "CAN10.NAT", "12.5", "2"},
                            {"PO-1", "2", "CAN10.NAT", "-4", "2"},
                            {"PO-1", "3", "CAN10.NAT", "3", "0.1"}}));
  ImportOrderFile(context);
  EXPECT_EQ(database.Lines("SELECT PriceExt, WeightExt, CostExt FROM OrderItems ORDER BY ID"),
            (std::vector<std::string>{"25|6.25|40.625", "-8|-2|-13", "0.3|1.5|9.75"}));
  EXPECT_EQ(database.Lines("SELECT SubTotal, TotalCost FROM Orders"),
            std::vector<std::string>{"17.3|37.375"});
  // 0.1 * 3 is not 0.3 in binary: the product is stored as computed, not rounded, where the
  // column holds a double (a money column of SQL Server keeps four decimals by its nature).
  if (database.backend() == Backend::kSqlite) {
    EXPECT_EQ(
        Scalar("SELECT COUNT(*) FROM OrderItems WHERE ItemNumber = '3' AND PriceExt = 0.1 * 3"),
        "1");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM Orders WHERE SubTotal = 17 + 0.1 * 3"), "1");
  }
}

TEST_P(ImportOrderFileTest, ReadsPastRow9999ToTheEndOfTheFile) {
  std::vector<Row> rows;
  for (int i = 0; i < 10050; ++i) {
    rows.push_back({i < 10000 ? "PO-1" : "PO-2", i == 0 || i == 10000 ? "1" : "2",
                    "Z" + std::to_string(i % 700) + ".Z", "1", "1"});
  }
  // More part numbers than one lookup takes: this one is among the last.
  database.Exec(
      "INSERT INTO ItemCustomerPartNumber (ItemID, CustomerPartNumber1, "
      "CustomerPartNumber2) VALUES (101, 'Z699', 'Z')");
  WriteOrderFile(OrderFile(rows));
  ImportOrderFile(context);
  EXPECT_EQ(database.Lines("SELECT OrderNumber, SubTotal FROM Orders ORDER BY ID"),
            (std::vector<std::string>{"PO-1|10000", "PO-2|50"}));
  EXPECT_EQ(database.Lines("SELECT COUNT(*), SUM(CASE WHEN Item = 101 THEN 1 END) FROM OrderItems"),
            std::vector<std::string>{"10050|14"});
}

TEST_P(ImportOrderFileTest, AnyFailureRollsBackTheWholeFile) {
  struct Case {
    std::string quantity, price;
    int number;
    std::string context;
  };
  const Case cases[] = {
      {"10", "12,5", 13, "column 25 (unit price)"},
      {"", "2", 13, "column 23 (quantity)"},
      {"1", "1e400", 6, "column 25 (unit price)"},
      {"1e300", "1e300", 6, "PriceExt"},
  };
  for (const Case& bad : cases) {
    WriteOrderFile(OrderFile({{"PO-1", "1"},
                              {"PO-1", "2"},
                              {"PO-2", "1"},
                              {"PO-2", "2", "CAN10.NAT", bad.quantity, bad.price},
                              {"PO-3", "1"}}));
    const RunError error = ImportError();
    EXPECT_EQ(error.number(), bad.number) << bad.price;
    const std::string report = error.Report();
    EXPECT_NE(report.find(bad.context), std::string::npos) << report;
    EXPECT_NE(report.find("row 5"), std::string::npos) << report;
    EXPECT_NE(report.find("Saldor_to_vendor_31-Dec-2026.csv"), std::string::npos) << report;
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM Orders") + Scalar("SELECT COUNT(*) FROM OrderItems"),
              "00");
  }
  EXPECT_NE(ImportError().Report().find("\"1e300\" and \"1e300\""), std::string::npos);

  // A database error half-way and a broken file do the same.
  // On SQL Server the trigger notes the refusal first, as a trigger that logs does: the error
  // then follows a row count of the trigger's own.
  database.Exec(database.Either(
      "CREATE TRIGGER RefuseLine BEFORE INSERT ON OrderItems WHEN NEW.ItemNumber = 'boom' "
      "BEGIN SELECT RAISE(ABORT, 'line refused'); END;",
      "CREATE TRIGGER RefuseLine ON OrderItems AFTER INSERT AS BEGIN "
      "INSERT INTO OrdersAudit (OrderID, OrderNumber, Action) "
      "SELECT OrderID, ItemNumber, 'REFUSED' FROM inserted WHERE ItemNumber = 'boom'; "
      "IF @@ROWCOUNT > 0 RAISERROR('line refused', 16, 1); END"));
  WriteOrderFile(OrderFile({{"PO-1", "1"}, {"PO-1", "2"}, {"PO-1", "boom"}, {"PO-1", "4"}}));
  const std::string refused = ImportError().Report();
  for (const std::string what : {"line refused", "Saldor_to_vendor_31-Dec-2026.csv, row 4"}) {
    EXPECT_NE(refused.find(what), std::string::npos) << refused;
  }
  WriteOrderFile(OrderFile({{"PO-1", "1"}}) + "PO-2,\"1\r\n");
  EXPECT_EQ(ImportError().number(), 62);
  // Text that cannot be decoded is an error naming the file, not a file without orders.
  WriteOrderFile(Utf16LeFile(OrderFile({{"PO-1", "1"}})) + "\x31");
  const RunError undecodable = ImportError();
  EXPECT_EQ(undecodable.number(), errors::kInvalidFileFormat);
  EXPECT_NE(undecodable.Report().find("Saldor_to_vendor_31-Dec-2026.csv"), std::string::npos);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM Orders") + Scalar("SELECT COUNT(*) FROM OrderItems"),
            "00");
  // So is a cell with a NUL character, which a database driver may cut short.
  WriteOrderFile(
      OrderFile({{"PO-1", "1"}, {"PO-2", "1", "CAN10.NAT", "1", "1", {{7, "ABC\0DEF"s}}}}));
  const RunError nul = ImportError();
  EXPECT_EQ(nul.number(), errors::kInvalidFileFormat);
  for (const std::string what : {"Saldor_to_vendor_31-Dec-2026.csv", "row 3", "column 7"}) {
    EXPECT_NE(nul.Report().find(what), std::string::npos) << nul.Report();
  }
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM Orders") + Scalar("SELECT COUNT(*) FROM OrderItems"),
            "00");

  // After the fix the file imports once, as a whole.
  WriteOrderFile(OrderFile({{"PO-1", "1"}, {"PO-1", "2"}, {"PO-2", "1"}, {"PO-3", "1"}}));
  ImportOrderFile(context);
  EXPECT_EQ(database.Lines("SELECT OrderNumber FROM Orders ORDER BY ID"),
            (std::vector<std::string>{"PO-1", "PO-2", "PO-3"}));
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM OrderItems"), "4");
}

TEST_P(ImportOrderFileTest, NoFileForTodayImportsNothing) {
  WriteOrderFile(OrderFile({{"PO-1", "1"}}), "30-Dec-2026");
  WriteOrderFile(OrderFile({{"PO-1", "1"}}), "01-Jan-2027");
  ImportOrderFile(context);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM Orders"), "0");
}

TEST_P(ImportOrderFileTest, RunDateIsTakenOnceAndDateAddedPerOrder) {
  // The run starts a second before midnight; the orders are written after it.
  std::vector<TimePoint> moments = {LocalMoment(2026, 12, 31, 23, 59, 59),
                                    LocalMoment(2027, 1, 1, 0, 0, 30),
                                    LocalMoment(2027, 1, 1, 0, 0, 31)};
  std::size_t calls = 0;
  context.clock = [&] { return moments[std::min(calls++, moments.size() - 1)]; };
  WriteOrderFile(OrderFile({{"PO-1", "1"}, {"PO-2", "1"}}));
  ImportOrderFile(context);
  EXPECT_EQ(
      database.Lines("SELECT OrderDate, RequestedShipDate, DateAdded FROM Orders ORDER BY ID"),
      (std::vector<std::string>{"2027-01-01|2027-01-01|2027-01-01 00:00:30",
                                "2027-01-01|2027-01-01|2027-01-01 00:00:31"}));
}

}  // namespace
}  // namespace saldor
