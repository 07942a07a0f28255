#include "saldorauto/standard_tasks.h"

#include "import/import_order_file.h"
#include "reports/export_available_inventory.h"
#include "reports/export_order_status.h"
#include "transfer/download_order_file.h"

namespace saldor {

std::vector<Task> StandardTasks() {
  return {
      {"ExportAvailableInventory", ExportAvailableInventory},
      {"ExportOrderStatus", ExportOrderStatus},
      {"DownloadOrderFile", DownloadOrderFile},
      {"ImportOrderFile", ImportOrderFile},
  };
}

}  // namespace saldor
