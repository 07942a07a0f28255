#ifndef SALDOR_REPORTS_EXPORT_AVAILABLE_INVENTORY_H_
#define SALDOR_REPORTS_EXPORT_AVAILABLE_INVENTORY_H_

#include "app/run_context.h"

namespace saldor {

// `ExportAvailableInventory`: Writes the available inventory file and starts its upload.
void ExportAvailableInventory(RunContext& context);

}  // namespace saldor

#endif  // SALDOR_REPORTS_EXPORT_AVAILABLE_INVENTORY_H_
