#include "reports/export_report.h"

#include <gtest/gtest.h>

#include "app/error_numbers.h"
#include "app/run_error.h"
#include "reports/report_fixture.h"

namespace saldor {
namespace {

using testing::CsvRows;
using testing::ReadCsv;
using testing::ReadFile;

Field F(std::string text) { return Field(Field::Value(std::move(text))); }
Field F(double value) { return Field(Field::Value(value)); }

// The work table as the database gives it back: its key first, then the template's fields.
ResultSet WorkTable(std::vector<Field> fields) {
  return ResultSet(
      {"ID", "ItemID", "CustomerPartNumber1", "CustomerPartNumber2", "CustomerPartNumber3", "UOM",
       "RunLotNumber", "QtyAvail", "InProduction", "DueDate2"},
      std::move(fields));
}

TEST(ExportReportTest, QuotedFieldsFormattedByTheTemplate) {
  testing::TempDir dir;
  const auto path = dir / "temp" / "inv.csv";  // the temp folder does not exist yet
  ExportReport(crptSaldorAvailInv,
               WorkTable({F(1), F(101), F("say \"hi\", Größe"), F("A\r\nB"), Field(), F("YARD"),
                          F(""), F(1050.5), F(-0.0), Field(),
                          //
                          F(2), Field(Field::Value(std::int64_t{102})), F("C"), F("D"), F("W58"),
                          F("YARD"), F(""), F(0.1 + 0.2), F("12.3"), F("2026-03-01 00:00:00.000")}),
               path);
  EXPECT_EQ(ReadFile(path).substr(0, 20), "\"ItemID\",\"CustomerPa");
  EXPECT_NE(ReadFile(path).find("\"say \"\"hi\"\", Größe\""), std::string::npos);
  const CsvRows expected = {
      {"ItemID", "CustomerPartNumber1", "CustomerPartNumber2", "CustomerPartNumber3", "UOM",
       "RunLotNumber", "QtyAvail", "InProduction", "DueDate2"},
      {"101", "say \"hi\", Größe", "A\r\nB", "", "YARD", "", "1050.50", "0.00", ""},
      {"102", "C", "D", "W58", "YARD", "", "0.30", "12.30", "03/01/2026"},
  };
  EXPECT_EQ(ReadCsv(path), expected);

  // The order status template has no heading of its own: an empty data set is an empty file.
  std::vector<std::string> columns;
  for (const TemplateField& field : crptSaldorOrderStatus.fields) columns.emplace_back(field.name);
  ExportReport(crptSaldorOrderStatus, ResultSet(columns, {}), dir / "temp" / "status.csv");
  EXPECT_TRUE(std::filesystem::exists(dir / "temp" / "status.csv"));
  EXPECT_EQ(ReadFile(dir / "temp" / "status.csv"), "");
}

TEST(ExportReportTest, FailedExportKeepsTheOlderFileAndTheFolder) {
  testing::TempDir dir;
  const auto path = dir / "temp" / "inv.csv";
  std::filesystem::create_directory(dir / "temp");
  testing::WriteFile(path, "previous");
  testing::WriteFile(dir / "temp" / "fileup.sh", "script");

  const auto expectFailure = [&](const ResultSet& rows, int number, const std::string& detail) {
    try {
      ExportReport(crptSaldorAvailInv, rows, path);
      ADD_FAILURE() << "no error";
    } catch (const RunError& error) {
      EXPECT_EQ(error.number(), number);
      EXPECT_NE(error.Report().find(detail), std::string::npos) << error.Report();
    }
    EXPECT_EQ(ReadFile(path), "previous");
  };
  expectFailure(ResultSet({"ItemID"}, {F(1)}), 3265, "");  // a field without its column
  expectFailure(
      WorkTable({F(1), F(1), F("A"), F("B"), F(""), F("YARD"), F(""), F(1), F(0), Field(),
                 F(2), F(2), F("A"), F("C"), F(""), F("YARD"), F(""), F(1), F(0), F("soon")}),
      errors::kTypeMismatch, "row 2");

  ExportReport(crptSaldorAvailInv, WorkTable({}), path);  // an older file is replaced
  EXPECT_EQ(ReadCsv(path).size(), 1u);
  // The script stays and no temporary file is left.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "temp"), {}), 2);
  EXPECT_EQ(ReadFile(dir / "temp" / "fileup.sh"), "script");

  testing::WriteFile(dir / "other", "a file where the temp folder should be");
  EXPECT_THROW(ExportReport(crptSaldorAvailInv, WorkTable({}), dir / "other" / "inv.csv"),
               RunError);
}

}  // namespace
}  // namespace saldor
