#include "import/import_order_file.h"

#include <fstream>
#include <optional>
#include <set>
#include <string_view>

#include "app/error_numbers.h"
#include "app/partner_files.h"
#include "app/run_error.h"
#include "app/text.h"
#include "import/csv_reader.h"
#include "import/import_state.h"
#include "import/imported_orders.h"
#include "import/item_match.h"
#include "import/order_file_row.h"
#include "import/order_line.h"
#include "import/order_writer.h"
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

// The orders of the file, their lines without their items yet, and the part numbers of the
// data rows before the first order: from row 2 up to the first row whose column 1 is empty, or
// the end of the file, each row whose column 2 is "1" opens an order, and every row from there
// on is a line of the order opened last.
struct FileContents {
  std::vector<FileOrder> orders;
  std::vector<std::string> partNumbersBeforeOrders;
};

FileContents ReadOrders(CsvReader& reader, const std::string& fileName) {
  FileContents contents;
  std::vector<std::string> fields;
  if (!reader.Next(fields)) return contents;  // not even the heading row
  while (reader.Next(fields)) {
    const std::size_t number = reader.recordNumber();
    try {
      OrderFileRow row = ReadOrderFileRow(fields);
      if (row.ColOrderNo.empty()) break;
      if (row.ColLineNo == "1") contents.orders.push_back(FileOrder{number, row, {}, {}});
      if (contents.orders.empty()) {
        contents.partNumbersBeforeOrders.push_back(std::move(row.ColCustomerPartNo));
      } else {
        contents.orders.back().lines.push_back(OrderLineOfRow(number, row));
      }
    } catch (RunError& error) {
      error.AddContext(FileRowsContext(fileName, number, number));
      throw;
    }
  }
  return contents;
}

// Gives every line its item, the data rows' part numbers looked up together, and each order its
// totals.
void MatchItems(Database& db, FileContents& contents, const std::string& fileName) {
  std::vector<std::string_view> partNumbers(contents.partNumbersBeforeOrders.begin(),
                                            contents.partNumbersBeforeOrders.end());
  for (const FileOrder& order : contents.orders) {
    for (const OrderLine& line : order.lines) partNumbers.push_back(line.customerPartNo);
  }
  std::optional<ItemMatcher> items;
  try {
    items.emplace(db, partNumbers);
  } catch (RunError& error) {
    error.AddContext("order file: " + fileName);
    throw;
  }
  for (FileOrder& order : contents.orders) {
    for (OrderLine& line : order.lines) {
      try {
        SetLineItem(line, items->MatchItem(line.customerPartNo, line.vendorPartText));
        order.totals.Add(line);
      } catch (RunError& error) {
        error.AddContext(FileRowsContext(fileName, line.row, line.row));
        throw;
      }
    }
  }
}

// Writes the orders, leaving alone those an earlier import of the same day created, as the
// caller's transaction decides. Gives what was written.
ImportSummary WriteOrders(RunContext& context, const std::vector<FileOrder>& orders, Date orderDate,
                          const std::string& fileName, bool batched) {
  Database& db = context.cnDatabase;
  ImportSummary summary;
  std::vector<const FileOrder*> created;
  try {
    const std::set<std::string> imported = ImportedOrderNumbers(db, orderDate);
    for (const FileOrder& order : orders) {
      if (imported.contains(order.opening.ColOrderNo)) {
        summary.ordersLeftAlone.push_back(order.opening.ColOrderNo);
      } else {
        created.push_back(&order);
      }
    }
  } catch (RunError& error) {
    error.AddContext("order file: " + fileName);
    throw;
  }
  OrderWriter(db, context.clock, fileName, batched).Write(created, orderDate);

  std::set<std::string_view> unmatched;
  for (const FileOrder* order : created) {
    ++summary.ordersCreated;
    summary.linesCreated += order->lines.size();
    for (const OrderLine& line : order->lines) {
      if (line.item.placeholder && unmatched.insert(line.item.description).second) {
        summary.unmatchedPartNumbers.emplace_back(line.item.description, line.row);
      }
    }
  }
  return summary;
}

}  // namespace

ImportSummary ImportOrderFile(RunContext& context) {
  const Date runDate = LocalDate(context.clock());
  const Date orderDate = AddDays(runDate, 1);
  // The name under which the download stores the file.
  const std::filesystem::path path = context.programFolder / OrderFileName(runDate);
  const std::string fileName = PathText(path);
  BusyPointer busy(context.screen);
  std::error_code ignored;
  ImportSummary nothing;
  nothing.file = path;
  if (!std::filesystem::exists(path, ignored)) return nothing;

  CsvReader reader(DecodeFileText(ReadAllBytes(path), fileName), fileName);
  FileContents contents = ReadOrders(reader, fileName);
  MatchItems(context.cnDatabase, contents, fileName);
  const std::vector<FileOrder>& orders = contents.orders;

  // One transaction for the file, in which an earlier import of the same day is looked for too.
  ImportSummary summary;
  WriteInOneTransaction(context.cnDatabase, [&](bool batched) {
    summary = WriteOrders(context, orders, orderDate, fileName, batched);
  });
  summary.file = path;
  summary.found = true;
  return summary;
}

}  // namespace saldor
