#include "reports/export_report.h"

#include <gtest/gtest.h>

#include "app/run_error.h"
#include "reports/report_fixture.h"
#include "reports/report_templates.h"

namespace saldor {
namespace {

using testing::CsvRows;
using testing::ReadCsv;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

Field Text(std::string text) { return Field(Field::Value(std::move(text))); }
Field Real(double value) { return Field(Field::Value(value)); }
Field Null() { return Field(); }

const std::vector<std::string> kOrderStatusColumns = {
    "OrderNumber", "ItemNumber",       "ShipmentNumber", "VendorName",
    "ItemStatus",  "ExpectedShipDate", "ShipDate",       "ExpectedDeliveryDate",
    "ShipQty",     "TrackNumber",      "InvoiceNumber",  "ConfirmationNumber"};

// The work table as the database gives it back, with its key column first.
const std::vector<std::string> kAvailInvColumns = {"ID",
                                                   "ItemID",
                                                   "CustomerPartNumber1",
                                                   "CustomerPartNumber2",
                                                   "CustomerPartNumber3",
                                                   "UOM",
                                                   "RunLotNumber",
                                                   "QtyAvail",
                                                   "InProduction",
                                                   "DueDate2"};

ResultSet OrderStatusRows(const std::vector<std::vector<Field>>& rows) {
  std::vector<Field> fields;
  for (const auto& row : rows) fields.insert(fields.end(), row.begin(), row.end());
  return ResultSet(kOrderStatusColumns, std::move(fields));
}

std::vector<Field> StatusRow(std::string first, std::string track) {
  std::vector<Field> row(12, Text(""));
  row[0] = Text(std::move(first));
  row[9] = Text(std::move(track));
  return row;
}

TEST(ExportReportTest, OrderStatusFieldsAreQuotedAsTheyCome) {
  TempDir dir;
  const auto path = dir / "temp" / "status.csv";
  std::vector<Field> tricky = StatusRow(" PO_NUMBER", "#say \"hi\", twice");
  tricky[4] = Null();
  tricky[5] = Text("Größe\r\nline");
  ExportReport(crptSaldorOrderStatus, OrderStatusRows({tricky, StatusRow("100", "")}), path);

  const std::string text = ReadFile(path);
  EXPECT_EQ(text.substr(0, 14), "\" PO_NUMBER\",\"");
  EXPECT_NE(text.find("\"#say \"\"hi\"\", twice\""), std::string::npos);
  const CsvRows rows = ReadCsv(path);
  ASSERT_EQ(rows.size(), 2u);  // no heading line of its own
  EXPECT_EQ(rows[0].size(), 12u);
  EXPECT_EQ(rows[0][0], " PO_NUMBER");
  EXPECT_EQ(rows[0][4], "");
  EXPECT_EQ(rows[0][5], "Größe\r\nline");
  EXPECT_EQ(rows[0][9], "#say \"hi\", twice");
  EXPECT_EQ(rows[1][0], "100");
}

TEST(ExportReportTest, AvailableInventoryHasHeadingAndFormattedNumbersAndDates) {
  TempDir dir;
  const auto path = dir / "temp" / "inv.csv";
  ResultSet rows(
      kAvailInvColumns,
      {Real(1), Real(101), Text("CAN10"), Text("NAT"), Text(""), Text("YARD"), Text(""),
       Real(1050.5), Real(0), Null(),
       //
       Real(2), Field(Field::Value(std::int64_t{102})), Text("CAN10"), Text("BLK"), Null(),
       Text("YARD"), Text(""), Real(-0.0), Text("12.3"), Text("2026-03-01 00:00:00.000"),
       //
       Real(3), Real(103), Text("T"), Text("K"), Text("W58"), Text("YARD"), Text(""),
       Real(0.1 + 0.2), Real(1234567.891), Text("2027-01-09")});
  ExportReport(crptSaldorAvailInv, rows, path);

  const CsvRows expected = {
      {"ItemID", "CustomerPartNumber1", "CustomerPartNumber2", "CustomerPartNumber3", "UOM",
       "RunLotNumber", "QtyAvail", "InProduction", "DueDate2"},
      {"101", "CAN10", "NAT", "", "YARD", "", "1050.50", "0.00", ""},
      {"102", "CAN10", "BLK", "", "YARD", "", "0.00", "12.30", "03/01/2026"},
      {"103", "T", "K", "W58", "YARD", "", "0.30", "1234567.89", "01/09/2027"},
  };
  EXPECT_EQ(ReadCsv(path), expected);
}

TEST(ExportReportTest, EmptyDataSetStillWritesTheFile) {
  TempDir dir;
  ExportReport(crptSaldorOrderStatus, OrderStatusRows({}), dir / "temp" / "status.csv");
  EXPECT_TRUE(std::filesystem::exists(dir / "temp" / "status.csv"));
  EXPECT_EQ(ReadFile(dir / "temp" / "status.csv"), "");

  ExportReport(crptSaldorAvailInv, ResultSet(kAvailInvColumns, {}), dir / "temp" / "inv.csv");
  EXPECT_EQ(ReadCsv(dir / "temp" / "inv.csv").size(), 1u);
}

TEST(ExportReportTest, TempFolderIsCreatedOnceAndNeverEmptied) {
  TempDir dir;
  const auto temp = dir / "temp";
  ASSERT_FALSE(std::filesystem::exists(temp));
  ExportReport(crptSaldorOrderStatus, OrderStatusRows({StatusRow("1", "")}), temp / "a.csv");
  EXPECT_TRUE(std::filesystem::is_directory(temp));

  WriteFile(temp / "fileup.sh", "script");
  WriteFile(temp / "Vendor_to_saldor_01-Jan-2026.csv", "old run");
  ExportReport(crptSaldorOrderStatus, OrderStatusRows({StatusRow("2", "")}), temp / "a.csv");
  EXPECT_EQ(ReadCsv(temp / "a.csv")[0][0], "2");  // replaced
  EXPECT_EQ(ReadFile(temp / "fileup.sh"), "script");
  EXPECT_EQ(ReadFile(temp / "Vendor_to_saldor_01-Jan-2026.csv"), "old run");
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(temp)) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 3u);  // no temporary file left behind
}

TEST(ExportReportTest, FailedExportLeavesTheOlderFileAndNoPartialFile) {
  TempDir dir;
  const auto temp = dir / "temp";
  const auto path = temp / "inv.csv";
  std::filesystem::create_directory(temp);
  WriteFile(path, "previous");

  // A data set without one of the template's fields.
  try {
    ExportReport(crptSaldorAvailInv, ResultSet({"ItemID"}, {Real(1)}), path);
    ADD_FAILURE() << "no error";
  } catch (const RunError& error) {
    EXPECT_EQ(error.number(), 3265);
  }
  EXPECT_EQ(ReadFile(path), "previous");

  // A value that does not fit its format, on the second row.
  ResultSet badDate(kAvailInvColumns, {Real(1), Real(1), Text("A"), Text("B"), Text(""),
                                       Text("YARD"), Text(""), Real(1), Real(0), Text("2026-03-01"),
                                       //
                                       Real(2), Real(2), Text("A"), Text("C"), Text(""),
                                       Text("YARD"), Text(""), Real(1), Real(0), Text("soon")});
  try {
    ExportReport(crptSaldorAvailInv, badDate, path);
    ADD_FAILURE() << "no error";
  } catch (const RunError& error) {
    EXPECT_EQ(error.number(), RunError::kTypeMismatch);
    EXPECT_NE(error.Report().find("soon"), std::string::npos);
    EXPECT_NE(error.Report().find("row 2"), std::string::npos);
  }
  EXPECT_EQ(ReadFile(path), "previous");
  EXPECT_FALSE(std::filesystem::exists(temp / "inv.csv.part"));
}

TEST(ExportReportTest, TempFolderThatCannotBeMadeStopsTheExport) {
  TempDir dir;
  WriteFile(dir / "temp", "a file where the folder should be");
  try {
    ExportReport(crptSaldorOrderStatus, OrderStatusRows({}), dir / "temp" / "a.csv");
    ADD_FAILURE() << "no error";
  } catch (const RunError& error) {
    EXPECT_NE(error.number(), 0);
    EXPECT_NE(error.Report().find("temp"), std::string::npos);
  }
}

}  // namespace
}  // namespace saldor
