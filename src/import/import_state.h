#ifndef SALDOR_IMPORT_IMPORT_STATE_H_
#define SALDOR_IMPORT_IMPORT_STATE_H_

#include <cstddef>
#include <string>
#include <vector>

#include "app/text.h"
#include "import/order_file_row.h"
#include "import/order_line.h"
#include "import/order_totals.h"

namespace saldor {

// One order of the file as the import gathers it before writing it: the row that opens it (its
// column 2 is "1"), the lines of that row and the rows after it up to the next such row, and
// their totals.
struct FileOrder {
  std::size_t row = 0;  // the file row that opens it
  OrderFileRow opening;
  std::vector<OrderLine> lines;
  OrderTotals totals;
};

// How an error report names the place in the order file `file`: "order file: <file>, row 5",
// or "..., rows 5 to 9" for a statement that wrote the records of several rows.
inline std::string FileRowsContext(const std::string& file, std::size_t first, std::size_t last) {
  return "order file: " + file + ", " + RowsText(first, last);
}

}  // namespace saldor

#endif  // SALDOR_IMPORT_IMPORT_STATE_H_
