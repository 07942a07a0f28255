#ifndef SALDOR_IMPORT_IMPORT_ORDER_FILE_H_
#define SALDOR_IMPORT_IMPORT_ORDER_FILE_H_

#include "app/run_context.h"

namespace saldor {

// `ImportOrderFile`: imports today's order file, "Saldor_to_vendor_<dd-mmm-yyyy>.csv" in the
// program folder, as sales orders of the partner: every row from row 2 on, up to the first row
// whose column 1 is empty or the end of the file, becomes a line of the order opened by the last
// row whose column 2 is "1" (rows before the first such row give nothing), and each order gets
// its totals. The date is taken once from `context.clock()`; the orders are dated the next day.
// No file for today is no failure: nothing happens. The whole file is one transaction: any
// failure (a bad number, a database error, a broken file) rolls back every order and line of the
// file and raises the error with the file and row at fault. Shows the busy pointer meanwhile.
void ImportOrderFile(RunContext& context);

}  // namespace saldor

#endif  // SALDOR_IMPORT_IMPORT_ORDER_FILE_H_
