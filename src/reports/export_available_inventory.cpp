#include "reports/export_available_inventory.h"

#include <array>
#include <string>
#include <string_view>

#include "app/partner_files.h"
#include "app/run_error.h"
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

// Runs the query, allocates its rows and stores one work table record per reported row.
void FillWorkTable(Database& db) {
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

  Statement insert = db.Prepare(InsertSql("tmpSaldorAvailInv", kWorkTableColumns));
  InventoryAllocation allocation;
  std::array<Param, 9> params;
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

      params = {AsParam(rows.At(row, itemId)),
                std::move(p1),
                std::move(p2),
                AsParam(rows.At(row, part3)),
                AsParam(rows.At(row, uom)),
                AsParam(rows.At(row, runLot)),
                reported.qtyAvail,
                reported.inProduction,
                DueDateParam(rows.At(row, dueDate))};
      insert.Execute(params);
    } catch (RunError& error) {
      error.AddContext("available inventory row " + std::to_string(row + 1));
      throw;
    }
  }
}

}  // namespace

std::filesystem::path ExportAvailableInventory(RunContext& context) {
  BusyPointer busy(context.screen);
  Database& db = context.cnDatabase;

  Transaction transaction(db);
  db.Execute(ClearAvailableInventorySql());
  FillWorkTable(db);
  transaction.Commit();

  const ResultSet snapshot = db.Query(AvailableInventorySnapshotQuery());
  const std::filesystem::path file = context.TempFolder() / kAvailableInventoryFileName;
  ExportReport(crptSaldorAvailInv, snapshot, file);
  return file;
}

}  // namespace saldor
