#include "import/import_order_file.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/error_numbers.h"
#include "app/partner_files.h"
#include "app/run_error.h"
#include "app/text.h"
#include "import/csv_reader.h"
#include "import/import_state.h"
#include "import/item_match.h"
#include "import/order_file_row.h"
#include "import/order_header.h"
#include "import/order_line.h"
#include "import/order_totals.h"
#include "import/text_encoding.h"

namespace saldor {
namespace {

std::string ReadAllBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
  std::string bytes(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
  if (size >= 0) {
    in.seekg(0);
    in.read(bytes.data(), size);
  }
  if (size < 0 || in.gcount() != size) {
    throw RunError(errors::kPathFileAccessError, "Path/File access error",
                   {"file: " + PathText(path), "the order file cannot be read"});
  }
  return bytes;
}

}  // namespace

void ImportOrderFile(RunContext& context) {
  const Date runDate = LocalDate(context.clock());
  const Date orderDate = AddDays(runDate, 1);
  // The name under which the download stores the file.
  const std::filesystem::path path = context.programFolder / OrderFileName(runDate);
  BusyPointer busy(context.screen);
  std::error_code ignored;
  if (!std::filesystem::exists(path, ignored)) return;

  CsvReader reader(DecodeFileText(ReadAllBytes(path), PathText(path)), PathText(path));
  std::vector<std::string> fields;
  if (!reader.Next(fields)) return;  // not even the heading row

  Database& db = context.cnDatabase;
  Transaction transaction(db);
  ItemMatcher items(db);
  OrderHeaderWriter headers(db);
  OrderLineWriter lines(db);
  OrderTotalsWriter totals(db);
  ImportState state;
  while (reader.Next(fields)) {
    try {
      const OrderFileRow row = ReadOrderFileRow(fields);
      if (row.ColOrderNo.empty()) break;
      const ItemMatch item = items.MatchItem(row.ColCustomerPartNo, row.ColVendorPartText);
      if (row.ColLineNo == "1") {
        if (!state.currentOrderId.empty()) totals.RollUpOrderTotals(state);
        headers.CreateOrderHeader(row, orderDate, LocalDateTime(context.clock()), state);
      }
      if (!state.currentOrderId.empty()) lines.CreateOrderLine(row, item, state);
    } catch (RunError& error) {
      error.AddContext("order file: " + PathText(path) + ", row " +
                       std::to_string(reader.recordNumber()));
      throw;
    }
  }
  if (!state.currentOrderId.empty()) totals.RollUpOrderTotals(state);
  transaction.Commit();
}

}  // namespace saldor
