#ifndef SALDOR_REPORTS_EXPORT_ORDER_STATUS_H_
#define SALDOR_REPORTS_EXPORT_ORDER_STATUS_H_

#include <cstddef>
#include <filesystem>

#include "app/run_context.h"

namespace saldor {

// `ExportOrderStatus`: writes the status of the partner's open order lines, and of the lines
// shipped on the run date, to temp/Vendor_to_saldor_<run date + 1 as DD-Mon-YYYY>.csv and gives
// that file's path, for the run to start its upload; `records`, when given, receives the number
// of records written, the label row among them. The run date is read once from
// context.clock() at the start, so the query and the file name agree. Shows the busy pointer
// while it works. Nothing is written to the database. Raises RunError when the query or the
// export fails.
std::filesystem::path ExportOrderStatus(RunContext& context, std::size_t* records = nullptr);

}  // namespace saldor

#endif  // SALDOR_REPORTS_EXPORT_ORDER_STATUS_H_
