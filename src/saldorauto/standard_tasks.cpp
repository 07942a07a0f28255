#include "saldorauto/standard_tasks.h"

#include <filesystem>

#include "import/import_order_file.h"
#include "reports/export_available_inventory.h"
#include "reports/export_order_status.h"
#include "transfer/download_order_file.h"
#include "transfer/partner_account.h"
#include "transfer/upload_file.h"

namespace saldor {
namespace {

// Each export starts the upload of its file at its end; an export that fails uploads nothing.
void ExportAvailableInventoryTask(RunContext& context) {
  const std::filesystem::path file = ExportAvailableInventory(context);
  UploadFile(context.TempFolder(), PartnerFtpAccount(context.settings), file);
}

void ExportOrderStatusTask(RunContext& context) {
  const std::filesystem::path file = ExportOrderStatus(context);
  UploadFile(context.TempFolder(), PartnerFtpAccount(context.settings), file);
}

void DownloadOrderFileTask(RunContext& context) {
  DownloadOrderFile(context.programFolder, PartnerFtpAccount(context.settings), context.clock);
}

}  // namespace

std::vector<Task> StandardTasks() {
  return {
      {"ExportAvailableInventory", ExportAvailableInventoryTask},
      {"ExportOrderStatus", ExportOrderStatusTask},
      {"DownloadOrderFile", DownloadOrderFileTask},
      {"ImportOrderFile", ImportOrderFile},
  };
}

}  // namespace saldor
