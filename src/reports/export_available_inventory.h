#ifndef SALDOR_REPORTS_EXPORT_AVAILABLE_INVENTORY_H_
#define SALDOR_REPORTS_EXPORT_AVAILABLE_INVENTORY_H_

#include <cstddef>
#include <filesystem>

#include "app/run_context.h"

namespace saldor {

// `ExportAvailableInventory`: refills the work table tmpSaldorAvailInv with the partner's
// available stock and in-production quantities (see InventoryAllocation), writes it to
// temp/saldor_available_inventory.csv and gives that file's path, for the run to start its
// upload; `records`, when given, receives the number of records written. Shows the busy pointer
// while it works.
//
// The table is emptied and refilled in one transaction: a failure on the way leaves the previous
// run's snapshot in place, and no file is written. Raises RunError on any failure.
std::filesystem::path ExportAvailableInventory(RunContext& context, std::size_t* records = nullptr);

}  // namespace saldor

#endif  // SALDOR_REPORTS_EXPORT_AVAILABLE_INVENTORY_H_
