#include "reports/export_available_inventory.h"

namespace saldor {

void ExportAvailableInventory(RunContext& /*context*/) {}

}  // namespace saldor
