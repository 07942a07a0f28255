#ifndef SALDOR_IMPORT_IMPORT_ORDER_FILE_H_
#define SALDOR_IMPORT_IMPORT_ORDER_FILE_H_

#include <cstddef>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/run_context.h"

namespace saldor {

// What one import did.
struct ImportSummary {
  std::filesystem::path file;  // today's order file in the program folder
  bool found = false;          // whether there was one
  std::size_t ordersCreated = 0;
  std::size_t linesCreated = 0;
  // The order numbers of the file's orders that an earlier import of the same day had created,
  // left alone this time, in file order.
  std::vector<std::string> ordersLeftAlone;
  // Each partner part number (column 21) that matched no item on a line created, once, with the
  // first row where it appears.
  std::vector<std::pair<std::string, std::size_t>> unmatchedPartNumbers;
};

// `ImportOrderFile`: imports today's order file, "Saldor_to_vendor_<dd-mmm-yyyy>.csv" in the
// program folder, as sales orders of the partner: every row from row 2 on, up to the first row
// whose column 1 is empty or the end of the file, becomes a line of the order opened by the last
// row whose column 2 is "1" (rows before the first such row give nothing), and each order is
// written with its totals. The date is taken once from `context.clock()`; the orders are dated
// the next day, and each order's DateAdded is read from the clock as it is written.
//
// An order of the file is left alone, and so are its lines, when an order with its number, of
// the partner, entered by the import and with the same order date was in the database before
// this import began: the file came in already with an earlier run of the same day. This is
// decided inside the import's transaction.
//
// No file for today is no failure: nothing happens. The whole file is one transaction: any
// failure (a bad number, a database error, a broken file) rolls back every order and line of the
// file and raises the error with the file and row at fault. Shows the busy pointer meanwhile.
ImportSummary ImportOrderFile(RunContext& context);

}  // namespace saldor

#endif  // SALDOR_IMPORT_IMPORT_ORDER_FILE_H_
