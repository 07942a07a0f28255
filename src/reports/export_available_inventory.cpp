#include "reports/export_available_inventory.h"

#include <string>
#include <string_view>
#include <vector>

#include "app/partner_files.h"
#include "app/record_insert.h"
#include "app/run_error.h"
#include "app/text.h"
#include "reports/available_inventory_query.h"
#include "reports/export_report.h"
#include "reports/inventory_allocation.h"
#include "reports/report_templates.h"
#include "reports/stored_date.h"

namespace saldor {
namespace {

constexpr std::string_view kWorkTableColumns[] = {"ItemID",
                                                  "CustomerPartNumber1",
                                                  "CustomerPartNumber2",
                                                  "CustomerPartNumber3",
                                                  "UOM",
                                                  "RunLotNumber",
                                                  "QtyAvail",
                                                  "InProduction",
                                                  "DueDate2"};

// A fetched value bound again as it came.
Param AsParam(const Field& field) {
  struct Visitor {
    Param operator()(std::monostate) const { return nullptr; }
    Param operator()(std::int64_t value) const { return value; }
    Param operator()(double value) const { return value; }
    Param operator()(const std::string& value) const { return value; }
  };
  return std::visit(Visitor{}, field.value());
}

// The due date bound as a date, so that the database stores it as the date it is whatever its
// own text form of dates.
Param DueDateParam(const Field& field) {
  if (field.IsNull()) return nullptr;
  const std::string text = field.AsText("DueDate2");
  const std::optional<DateTime> moment = ParseStoredDate(text);
  if (!moment) throw TypeMismatchError({"field: DueDate2", "value: \"" + text + "\""});
  return DateParam(*moment);
}

// How an error report names the query rows of a work table statement.
std::string RowsContext(std::size_t first, std::size_t last) {
  return "available inventory " + RowsText(first, last);
}

// Runs the query, allocates its rows and stores one work table record per reported row, as many
// records per statement as `batched` allows.
void FillWorkTable(Database& db, bool batched) {
  const ResultSet rows = db.Query(AvailableInventoryQuery());
  const std::size_t itemId = rows.ColumnIndex("ItemID");
  const std::size_t part1 = rows.ColumnIndex("CustomerPartNumber1");
  const std::size_t part2 = rows.ColumnIndex("CustomerPartNumber2");
  const std::size_t part3 = rows.ColumnIndex("CustomerPartNumber3");
  const std::size_t uom = rows.ColumnIndex("UOM");
  const std::size_t runLot = rows.ColumnIndex("RunLotNumber");
  const std::size_t qtyAvail = rows.ColumnIndex("QtyAvail");
  const std::size_t inProduction = rows.ColumnIndex("InProduction");
  const std::size_t dueDate = rows.ColumnIndex("DueDate2");
  const std::size_t addSpokenFor = rows.ColumnIndex("AddSpokenFor");

  RecordInsert insert(db, "tmpSaldorAvailInv", kWorkTableColumns, batched);
  std::vector<Param> values;
  std::vector<std::size_t> stored;  // the query rows (from 1) of the records in `values`
  auto flush = [&] {
    if (stored.empty()) return;
    try {
      insert.Insert(values, stored.size());
    } catch (RunError& error) {
      error.AddContext(RowsContext(stored.front(), stored.back()));
      throw;
    }
    values.clear();
    stored.clear();
  };
  InventoryAllocation allocation;
  for (std::size_t row = 0; row < rows.size(); ++row) {
    try {
      std::string p1 = rows.At(row, part1).AsText("CustomerPartNumber1");
      std::string p2 = rows.At(row, part2).AsText("CustomerPartNumber2");
      const std::string p3 = rows.At(row, part3).TextOr("");
      const ReportedQuantities reported =
          allocation.Next(InventoryRow{p1, p2, p3, rows.At(row, qtyAvail).AsNumber("QtyAvail"),
                                       rows.At(row, inProduction).AsNumber("InProduction"),
                                       rows.At(row, addSpokenFor).AsNumber("AddSpokenFor")});
      if (!reported.reported) continue;
      const Param due = DueDateParam(rows.At(row, dueDate));
      values.push_back(AsParam(rows.At(row, itemId)));
      values.emplace_back(std::move(p1));
      values.emplace_back(std::move(p2));
      values.push_back(AsParam(rows.At(row, part3)));
      values.push_back(AsParam(rows.At(row, uom)));
      values.push_back(AsParam(rows.At(row, runLot)));
      values.emplace_back(reported.qtyAvail);
      values.emplace_back(reported.inProduction);
      values.push_back(due);
    } catch (RunError& error) {
      error.AddContext(RowsContext(row + 1, row + 1));
      throw;
    }
    stored.push_back(row + 1);
    if (stored.size() == insert.maxRecords()) flush();
  }
  flush();
}

}  // namespace

std::filesystem::path ExportAvailableInventory(RunContext& context, std::size_t* records) {
  BusyPointer busy(context.screen);
  Database& db = context.cnDatabase;

  WriteInOneTransaction(db, [&db](bool batched) {
    db.Execute(ClearAvailableInventorySql());
    FillWorkTable(db, batched);
  });

  const ResultSet snapshot = db.Query(AvailableInventorySnapshotQuery());
  std::filesystem::path file = context.TempFolder() / kAvailableInventoryFileName;
  ExportReport(crptSaldorAvailInv, snapshot, file);
  if (records) *records = snapshot.size();
  return file;
}

}  // namespace saldor
