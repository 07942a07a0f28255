#include "reports/export_available_inventory.h"

#include <gtest/gtest.h>

#include "app/error_numbers.h"
#include "app/run_error.h"
#include "reports/available_inventory_query.h"
#include "reports/report_fixture.h"

namespace saldor {
namespace {

using testing::Backend;
using testing::CsvRows;

class ExportAvailableInventoryTest : public ::testing::TestWithParam<Backend> {
 protected:
  // Item `item` mapped for `customer` to the three pieces (SQL literals), with stock at
  // `location`.
  void Item(int item, const std::string& pieces, const std::string& onHand,
            const std::string& spokenFor, const std::string& location = "RVL - MS",
            int customer = 645) {
    const std::string id = std::to_string(item);
    fixture_.database().Exec(
        "INSERT INTO ItemCustomerPartNumber (ItemID, CustomerID, CustomerPartNumber1, "
        "CustomerPartNumber2, CustomerPartNumber3) VALUES (" +
        id + "," + std::to_string(customer) + "," + pieces +
        "); INSERT INTO ItemLocation (Item, Location, Quantity, SpokenFor) VALUES (" + id + ",'" +
        location + "'," + onHand + "," + spokenFor + ")");
  }
  // A line of purchase order `po`: 1 is open to the warehouse, 2 closed, 3 ships elsewhere.
  void Line(int item, const std::string& quantity, const std::string& received,
            const std::string& due, int po = 1) {
    fixture_.database().Exec(
        "INSERT INTO PurchaseOrderItems (PO, Item, Quantity, Received, DueDate2) VALUES (" +
        std::to_string(po) + "," + std::to_string(item) + "," + quantity + "," + received + ",'" +
        due + "')");
  }
  void SetUp() override {
    fixture_.database().Exec(
        "INSERT INTO PurchaseOrder (PO, Status, ShipToLocation) VALUES"
        " (1, 'Open', 'RVL - MS'), (2, 'Closed', 'RVL - MS'), (3, 'Open', 'NJ - WH')");
  }
  // Runs the export; gives the file's lines after its heading.
  CsvRows Run() {
    RunContext context = fixture_.Context(testing::LocalNoon(2026, 2, 10));
    EXPECT_EQ(ExportAvailableInventory(context), file());
    CsvRows rows = testing::ReadCsv(file());
    EXPECT_EQ(rows.at(0).at(8), "DueDate2");
    rows.erase(rows.begin());
    return rows;
  }
  std::filesystem::path file() const {
    return fixture_.tempFolder() / "saldor_available_inventory.csv";
  }

  testing::ReportFixture fixture_{GetParam()};
};
SALDOR_ON_BOTH_DATABASES(ExportAvailableInventoryTest);

TEST_P(ExportAvailableInventoryTest, WorkedExampleRowByRow) {
  Item(1, "'A','X',''", "10", "25");  // a shortfall of 15
  Line(1, "10", "0", "2026-03-01");
  Line(1, "20", "0", "2026-04-01");
  Line(1, "5", "NULL", "2026-05-01");
  Item(2, "'B','X',''", "40.5", "10");  // after an integer 0 in the column
  Line(2, "12", "0", "2026-03-01");
  Line(2, "10", "2", "2026-06-01");
  Item(3, "'C','X',NULL", "30", "0");  // a missing third piece, no purchase order
  Item(4, "'C','X',''", "9", "0");     // shares C's group: its stock is not reported
  Line(4, "0.025", "0", "2026-03-01");

  const CsvRows expected = {
      {"1", "A", "X", "", "YARD", "", "0.00", "15.00", "04/01/2026"},
      {"1", "A", "X", "", "YARD", "", "0.00", "5.00", "05/01/2026"},
      {"2", "B", "X", "", "YARD", "", "30.50", "12.00", "03/01/2026"},
      {"2", "B", "X", "", "YARD", "", "0.00", "8.00", "06/01/2026"},
      {"3", "C", "X", "", "YARD", "", "30.00", "0.00", ""},
      {"4", "C", "X", "", "YARD", "", "0.00", "0.02", "03/01/2026"},
  };
  EXPECT_EQ(Run(), expected);
  EXPECT_EQ(fixture_.database().Scalar("SELECT COUNT(*) FROM tmpSaldorAvailInv WHERE "
                                       "CustomerPartNumber3 IS NULL AND DueDate2 IS NULL"),
            "1");
}

TEST_P(ExportAvailableInventoryTest, EveryExclusionRuleOfTheQuery) {
  Item(10, "'K','1',''", "5", "0");  // reported: 5 free at the warehouse
  fixture_.database().Exec(
      "INSERT INTO ItemLocation (Item, Location, Quantity, SpokenFor) VALUES (10, 'NJ - WH', 700, "
      "0)");
  Line(10, "50", "0", "2026-03-01", 2);              // purchase order not open
  Line(10, "50", "0", "2026-03-01", 3);              // ships to another location
  Line(10, "50", "50", "2026-03-01");                // fully received
  Line(10, "50", "60", "2026-03-01");                // received beyond the order
  Item(11, "'K','2',''", "5", "0", "RVL - MS", 12);  // another customer
  Item(12, "'','3',''", "5", "0");
  Item(13, "'K','',''", "5", "0");
  Item(14, "'K',NULL,''", "5", "0");
  Item(15, "'K','5',''", "100", "0", "NJ - WH");  // open line, but no stock at the warehouse
  Line(15, "50", "0", "2026-03-01");
  Item(16, "'K','6',''", "10", "20");    // over-committed, no open line
  Item(17, "'K','7',''", "0.004", "0");  // rounds to nothing
  Item(18, "'K','8',''", "NULL", "NULL");
  Item(19, "'K','9',''", "0.005", "0");  // passes the query, but rounds to the even 0.00

  EXPECT_EQ(Run(), (CsvRows{{"10", "K", "1", "", "YARD", "", "5.00", "0.00", ""}}));
}

TEST_P(ExportAvailableInventoryTest, GroupsFollowTheExactPartNumbers) {
  Item(20, "'Q','1',''", "10", "25");  // a shortfall of 15 against its own line
  Line(20, "20", "0", "2026-03-01");
  Item(21, "'q','1',''", "0", "0");  // differs only in case: a group of its own, no shortfall
  Line(21, "20", "0", "2026-03-01");
  Item(22, "'R','1',''", "30", "0");  // two items mapped to one part number: one group,
  Item(23, "'R','1',''", "50", "0");  // whose stock is the first row's alone
  Line(23, "7", "0", "2026-04-01");

  EXPECT_EQ(Run(), (CsvRows{
                       {"20", "Q", "1", "", "YARD", "", "0.00", "5.00", "03/01/2026"},
                       {"22", "R", "1", "", "YARD", "", "30.00", "0.00", ""},
                       {"23", "R", "1", "", "YARD", "", "0.00", "7.00", "04/01/2026"},
                       {"21", "q", "1", "", "YARD", "", "0.00", "20.00", "03/01/2026"},
                   }));
}

TEST_P(ExportAvailableInventoryTest, FailedRefillKeepsThePreviousSnapshotAndFile) {
  testing::TestDatabase& db = fixture_.database();
  db.Exec("INSERT INTO tmpSaldorAvailInv (ItemID) VALUES (9)");
  EXPECT_TRUE(Run().empty());  // nothing to report: the heading alone
  EXPECT_EQ(db.Scalar("SELECT COUNT(*) FROM tmpSaldorAvailInv"), "0");
  Item(50, "'P','1',''", "8", "0");
  // And more records than one statement takes: P/100 to P/399.
  for (const char* table :
       {"ItemCustomerPartNumber (ItemID, CustomerID, CustomerPartNumber1, "
        "CustomerPartNumber2, CustomerPartNumber3) SELECT i, 645, 'P', CAST(i AS VARCHAR(10)), ''",
        "ItemLocation (Item, Location, Quantity, SpokenFor) "
        "SELECT i, 'RVL - MS', 1, 0"}) {
    db.Exec(db.Either("WITH RECURSIVE", "WITH") +
            " n(i) AS (SELECT 100 UNION ALL SELECT i + 1 FROM n WHERE i < 399) "
            "INSERT INTO " +
            std::string(table) + " FROM n" + db.Either("", " OPTION (MAXRECURSION 300)"));
  }
  ASSERT_EQ(Run().size(), 301u);
  const std::string previousFile = testing::ReadFile(file());
  const std::string snapshot = "SELECT COUNT(*), MIN(ItemID) FROM tmpSaldorAvailInv";

  Item(51, "'P','2',''", "3", "0");
  if (GetParam() == Backend::kSqlite) {
    Line(51, "5", "0", "soon");  // a due date that is no date, which SQLite keeps
  } else {
    db.Exec(
        "CREATE TRIGGER RefuseRow ON tmpSaldorAvailInv AFTER INSERT AS "
        "IF EXISTS (SELECT 1 FROM inserted WHERE ItemID = 51) RAISERROR('soon refused', 16, 1)");
  }
  RunContext context = fixture_.Context(testing::LocalNoon(2026, 2, 11));
  try {
    ExportAvailableInventory(context);
    ADD_FAILURE() << "no error";
  } catch (const RunError& error) {
    if (GetParam() == Backend::kSqlite) {
      EXPECT_EQ(error.number(), errors::kTypeMismatch);
    }
    EXPECT_NE(error.Report().find("soon"), std::string::npos) << error.Report();
  }
  EXPECT_EQ(db.Lines(snapshot), std::vector<std::string>{"301|50"});
  EXPECT_EQ(testing::ReadFile(file()), previousFile);
  EXPECT_FALSE(context.cnDatabase.inTransaction());

  // The database refusing a record far into the refill: the report names its query row (P/1,
  // P/100 to P/199, P/2, P/200 to P/399).
  db.Exec(db.Either(
      "DELETE FROM PurchaseOrderItems; CREATE TRIGGER Refuse BEFORE INSERT ON tmpSaldorAvailInv "
      "WHEN NEW.CustomerPartNumber2 = '399' BEGIN SELECT RAISE(ABORT, 'record refused'); END",
      "DROP TRIGGER RefuseRow\nGO\nCREATE TRIGGER Refuse ON tmpSaldorAvailInv AFTER INSERT AS "
      "IF EXISTS (SELECT 1 FROM inserted WHERE CustomerPartNumber2 = '399') "
      "RAISERROR('record refused', 16, 1)"));
  try {
    ExportAvailableInventory(context);
    ADD_FAILURE() << "no error";
  } catch (const RunError& error) {
    EXPECT_NE(error.Report().find("record refused"), std::string::npos) << error.Report();
    EXPECT_NE(error.Report().find("available inventory row 302\n"), std::string::npos)
        << error.Report();
  }
  EXPECT_EQ(db.Lines(snapshot), std::vector<std::string>{"301|50"});
  EXPECT_EQ(testing::ReadFile(file()), previousFile);
}

TEST(AvailableInventoryQueryTest, SqlServerTexts) {
  // Sorted by the exact part numbers, as the allocation groups them: letter case and trailing
  // blanks count.
  const std::string kExactOrder =
      "CustomerPartNumber1 COLLATE Latin1_General_BIN2,DATALENGTH(CustomerPartNumber1),"
      "CustomerPartNumber2 COLLATE Latin1_General_BIN2,DATALENGTH(CustomerPartNumber2),"
      "CustomerPartNumber3 COLLATE Latin1_General_BIN2,DATALENGTH(CustomerPartNumber3)";
  testing::ExpectPieces(
      AvailableInventoryQuery().sqlServer,
      {
          "SELECT ",
          " ItemCustomerPartNumber.ItemID,ItemCustomerPartNumber.CustomerPartNumber1,"
          "ItemCustomerPartNumber.CustomerPartNumber2,ItemCustomerPartNumber.CustomerPartNumber3,",
          " 'YARD' AS UOM,'' AS RunLotNumber,CASE",
          " WHEN ISNULL(ItemLocation.Quantity,0)-ISNULL(ItemLocation.SpokenFor,0)<0 THEN 0",
          " ELSE ISNULL(ItemLocation.Quantity,0)-ISNULL(ItemLocation.SpokenFor,0)",
          " END AS QtyAvail,",
          " ISNULL(PO.Quantity,0)-ISNULL(PO.Received,0) AS InProduction,PO.DueDate2,",
          " CASE",
          " WHEN ISNULL(ItemLocation.Quantity,0)-ISNULL(ItemLocation.SpokenFor,0)<0 THEN "
          "ISNULL(ItemLocation.Quantity,0)-ISNULL(ItemLocation.SpokenFor,0)",
          " ELSE 0",
          " END AS AddSpokenFor",
          " From",
          " ItemCustomerPartNumber LEFT JOIN ItemLocation ON "
          "ItemCustomerPartNumber.ItemID=ItemLocation.Item",
          " Left Join",
          " (SELECT Item,Quantity,Received,DueDate2",
          " FROM PurchaseOrderItems LEFT JOIN PurchaseOrder ON "
          "PurchaseOrderItems.PO=PurchaseOrder.PO",
          " where",
          " PurchaseOrder.Status='Open' AND PurchaseOrder.ShipToLocation='RVL - MS'",
          " AND ISNULL(PurchaseOrderItems.Quantity,0)-ISNULL(PurchaseOrderItems.Received,0)>0) PO "
          "ON ItemCustomerPartNumber.ItemID=PO.Item",
          " WHERE ItemLocation.Location = 'RVL - MS' AND ItemCustomerPartNumber.CustomerID=645",
          " AND CustomerPartNumber1<>'' AND CustomerPartNumber2<>''",
          " AND ((ROUND(ISNULL(ItemLocation.Quantity,0)-ISNULL(ItemLocation.SpokenFor,0),2)>0) OR "
          "(ROUND(ISNULL(PO.Quantity,0)-ISNULL(PO.Received,0),2)>0))",
          " ORDER BY " + kExactOrder + ",DueDate2",
      });
  EXPECT_EQ(ClearAvailableInventorySql().sqlServer, "DELETE FROM tmpSaldorAvailInv");
  EXPECT_EQ(AvailableInventorySnapshotQuery().sqlServer,
            "SELECT * FROM tmpSaldorAvailInv ORDER BY " + kExactOrder + ",DueDate2");
}

}  // namespace
}  // namespace saldor
