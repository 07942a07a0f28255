#include "reports/export_available_inventory.h"

#include <gtest/gtest.h>

#include "app/run_error.h"
#include "reports/available_inventory_query.h"
#include "reports/report_fixture.h"
#include "reports/sql_pieces.h"

namespace saldor {
namespace {

using testing::CsvRows;
using testing::LocalNoon;
using testing::ReadCsv;
using testing::ReadFile;
using testing::ReportFixture;

const std::vector<std::string> kHeading = {"ItemID",
                                           "CustomerPartNumber1",
                                           "CustomerPartNumber2",
                                           "CustomerPartNumber3",
                                           "UOM",
                                           "RunLotNumber",
                                           "QtyAvail",
                                           "InProduction",
                                           "DueDate2"};

class ExportAvailableInventoryTest : public ::testing::Test {
 protected:
  // A partner part number for `item` (customer 645 unless told), `part3` "NULL" for none.
  void Map(int item, const std::string& part1, const std::string& part2,
           const std::string& part3 = "''", int customer = 645) {
    fixture_.database().Exec(
        "INSERT INTO ItemCustomerPartNumber (ItemID, CustomerID, CustomerPartNumber1, "
        "CustomerPartNumber2, CustomerPartNumber3) VALUES (" +
        std::to_string(item) + "," + std::to_string(customer) + "," + part1 + "," + part2 + "," +
        part3 + ")");
  }
  void Stock(int item, const std::string& onHand, const std::string& spokenFor,
             const std::string& location = "RVL - MS") {
    fixture_.database().Exec(
        "INSERT INTO ItemLocation (Item, Location, Quantity, SpokenFor) VALUES (" +
        std::to_string(item) + ",'" + location + "'," + onHand + "," + spokenFor + ")");
  }
  // A purchase order line on PO 1 (open, to the warehouse) unless another PO is named.
  void PurchaseLine(int item, const std::string& quantity, const std::string& received,
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

  CsvRows Run() {
    RunContext context = fixture_.Context(LocalNoon(2026, 2, 10));
    ExportAvailableInventory(context);
    EXPECT_EQ(fixture_.screen().MousePointer, Screen::kDefault);
    ++runs_;
    EXPECT_EQ(fixture_.Uploads(runs_).size(), runs_);
    CsvRows rows = ReadCsv(file());
    EXPECT_FALSE(rows.empty());
    if (!rows.empty()) {
      EXPECT_EQ(rows.front(), kHeading);
      rows.erase(rows.begin());
    }
    return rows;
  }

  std::filesystem::path file() const {
    return fixture_.tempFolder() / "saldor_available_inventory.csv";
  }

  ReportFixture fixture_;
  std::size_t runs_ = 0;
};

TEST_F(ExportAvailableInventoryTest, WorkedExampleRowByRowAndUploaded) {
  Map(1, "'A'", "'X'");  // on hand 10, spoken for 25: a shortfall of 15
  Stock(1, "10", "25");
  PurchaseLine(1, "10", "0", "2026-03-01");
  PurchaseLine(1, "20", "0", "2026-04-01");
  PurchaseLine(1, "5", "NULL", "2026-05-01");
  Map(2, "'B'", "'X'");  // 30 free
  Stock(2, "40", "10");
  PurchaseLine(2, "12", "0", "2026-03-01");
  PurchaseLine(2, "10", "2", "2026-06-01");
  Map(3, "'C'", "'X'");  // 30 free, no purchase order
  Stock(3, "30", "0");

  const CsvRows expected = {
      {"1", "A", "X", "", "YARD", "", "0.00", "15.00", "04/01/2026"},
      {"1", "A", "X", "", "YARD", "", "0.00", "5.00", "05/01/2026"},
      {"2", "B", "X", "", "YARD", "", "30.00", "12.00", "03/01/2026"},
      {"2", "B", "X", "", "YARD", "", "0.00", "8.00", "06/01/2026"},
      {"3", "C", "X", "", "YARD", "", "30.00", "0.00", ""},
  };
  EXPECT_EQ(Run(), expected);
  EXPECT_EQ(fixture_.database().Scalar("SELECT COUNT(*) FROM tmpSaldorAvailInv"), "5");
  EXPECT_EQ(fixture_.database().Scalar(
                "SELECT DueDate2 FROM tmpSaldorAvailInv WHERE ItemID=1 AND InProduction=15"),
            "2026-04-01");

  const auto uploads = fixture_.Uploads(1);
  ASSERT_EQ(uploads.size(), 1u);
  EXPECT_EQ(uploads[0], (std::vector<std::string>{"partner.example", "ftpvend1", "qT#wz4Lp",
                                                  std::filesystem::absolute(file()).string()}));
}

TEST_F(ExportAvailableInventoryTest, EveryExclusionRuleOfTheQuery) {
  Map(10, "'K'", "'1'");  // the one item reported: 5 free at the warehouse
  Stock(10, "5", "0");
  Stock(10, "700", "0", "NJ - WH");              // stock elsewhere does not count
  PurchaseLine(10, "50", "0", "2026-03-01", 2);  // purchase order not open
  PurchaseLine(10, "50", "0", "2026-03-01", 3);  // ships to another location
  PurchaseLine(10, "50", "50", "2026-03-01");    // fully received
  PurchaseLine(10, "50", "60", "2026-03-01");    // received beyond the order
  Map(11, "'K'", "'2'", "''", 12);               // another customer
  Stock(11, "5", "0");
  Map(12, "''", "'3'");  // empty first piece
  Stock(12, "5", "0");
  Map(13, "'K'", "''");  // empty second piece
  Stock(13, "5", "0");
  Map(14, "'K'", "NULL");  // missing second piece
  Stock(14, "5", "0");
  Map(15, "'K'", "'5'");  // open purchase order but no stock record at the warehouse
  Stock(15, "100", "0", "NJ - WH");
  PurchaseLine(15, "50", "0", "2026-03-01");
  Map(16, "'K'", "'6'");  // over-committed without open purchase order lines
  Stock(16, "10", "20");
  Map(17, "'K'", "'7'");  // free stock that rounds to 0
  Stock(17, "0.004", "0");
  Map(18, "'K'", "'8'");  // nothing free, only closed purchase orders
  Stock(18, "NULL", "NULL");
  PurchaseLine(18, "50", "0", "2026-03-01", 2);

  EXPECT_EQ(Run(), (CsvRows{{"10", "K", "1", "", "YARD", "", "5.00", "0.00", ""}}));
}

TEST_F(ExportAvailableInventoryTest, SharedCaseDifferingAndMissingPartNumbers) {
  // Two items under one part number: the second row's stock does not count.
  Map(30, "'S'", "'1'");
  Stock(30, "10", "0");
  PurchaseLine(30, "5", "0", "2026-03-01");
  Map(31, "'S'", "'1'");
  Stock(31, "50", "0");
  PurchaseLine(31, "7", "0", "2026-04-01");
  // Part numbers differing in letter case only: two groups, each with its own shortfall.
  Map(32, "'c'", "'1'");
  Stock(32, "0", "10");
  PurchaseLine(32, "4", "0", "2026-03-01");
  PurchaseLine(32, "20", "0", "2026-04-01");
  Map(33, "'C'", "'1'");
  Stock(33, "0", "2");
  PurchaseLine(33, "5", "0", "2026-03-01");
  // A missing third piece belongs to the same group as an empty one.
  Map(34, "'N'", "'1'", "NULL");
  Stock(34, "4", "0");
  PurchaseLine(34, "6", "0", "2026-03-01");
  Map(35, "'N'", "'1'", "''");
  Stock(35, "9", "0");
  PurchaseLine(35, "1", "0", "2026-04-01");

  const CsvRows expected = {
      {"33", "C", "1", "", "YARD", "", "0.00", "3.00", "03/01/2026"},
      {"34", "N", "1", "", "YARD", "", "4.00", "6.00", "03/01/2026"},
      {"35", "N", "1", "", "YARD", "", "0.00", "1.00", "04/01/2026"},
      {"30", "S", "1", "", "YARD", "", "10.00", "5.00", "03/01/2026"},
      {"31", "S", "1", "", "YARD", "", "0.00", "7.00", "04/01/2026"},
      {"32", "c", "1", "", "YARD", "", "0.00", "14.00", "04/01/2026"},
  };
  EXPECT_EQ(Run(), expected);
  EXPECT_EQ(fixture_.database().Scalar(
                "SELECT COUNT(*) FROM tmpSaldorAvailInv WHERE CustomerPartNumber3 IS NULL"),
            "1");
}

TEST_F(ExportAvailableInventoryTest, HalfCentEdge) {
  Map(40, "'R'", "'1'");  // 0.005 passes the query but rounds to the even 0.00: no record
  Stock(40, "0.005", "0");
  Map(41, "'R'", "'2'");  // 0.015 rounds to 0.02; the open 0.004 to 0.00
  Stock(41, "0.015", "0");
  PurchaseLine(41, "0.004", "0", "2026-03-01");
  Map(42, "'R'", "'3'");  // only a cent and a half in production
  Stock(42, "0", "0");
  PurchaseLine(42, "0.025", "0", "2026-03-01");

  const CsvRows expected = {
      {"41", "R", "2", "", "YARD", "", "0.02", "0.00", "03/01/2026"},
      {"42", "R", "3", "", "YARD", "", "0.00", "0.02", "03/01/2026"},
  };
  EXPECT_EQ(Run(), expected);
}

TEST_F(ExportAvailableInventoryTest, NothingToReportStillWritesAndUploads) {
  fixture_.database().Exec(
      "INSERT INTO tmpSaldorAvailInv (ItemID, CustomerPartNumber1) VALUES (9, 'OLD')");
  EXPECT_TRUE(Run().empty());  // the heading line alone, uploaded all the same
  EXPECT_EQ(fixture_.database().Scalar("SELECT COUNT(*) FROM tmpSaldorAvailInv"), "0");
}

TEST_F(ExportAvailableInventoryTest, FailedRefillKeepsThePreviousSnapshotAndFile) {
  Map(50, "'P'", "'1'");
  Stock(50, "8", "0");
  ASSERT_EQ(Run().size(), 1u);
  const std::string previousFile = ReadFile(file());

  Map(51, "'P'", "'2'");
  Stock(51, "3", "0");
  PurchaseLine(51, "5", "0", "soon");  // a due date that is no date
  RunContext context = fixture_.Context(LocalNoon(2026, 2, 11));
  try {
    ExportAvailableInventory(context);
    ADD_FAILURE() << "no error";
  } catch (const RunError& error) {
    EXPECT_EQ(error.number(), RunError::kTypeMismatch);
    EXPECT_NE(error.Report().find("soon"), std::string::npos);
  }
  EXPECT_EQ(fixture_.database().Scalar("SELECT group_concat(ItemID) FROM tmpSaldorAvailInv"),
            "50.0");
  EXPECT_EQ(ReadFile(file()), previousFile);
  EXPECT_FALSE(context.cnDatabase.inTransaction());
}

TEST(AvailableInventoryQueryTest, SqlServerTextIsTheFixedQuery) {
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
          " ORDER BY CustomerPartNumber1,CustomerPartNumber2,CustomerPartNumber3,DueDate2",
      });
  EXPECT_EQ(ClearAvailableInventorySql().sqlServer, "DELETE FROM tmpSaldorAvailInv");
  EXPECT_EQ(AvailableInventorySnapshotQuery().sqlServer,
            "SELECT * FROM tmpSaldorAvailInv ORDER BY "
            "CustomerPartNumber1,CustomerPartNumber2,CustomerPartNumber3,DueDate2");
}

}  // namespace
}  // namespace saldor
