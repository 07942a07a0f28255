#include "saldorauto/standard_tasks.h"

#include <filesystem>
#include <iostream>
#include <string>

#include "app/text.h"
#include "import/import_order_file.h"
#include "reports/export_available_inventory.h"
#include "reports/export_order_status.h"
#include "transfer/download_order_file.h"
#include "transfer/partner_account.h"
#include "transfer/upload_file.h"

namespace saldor {
namespace {

// What a task did, one line on the standard output after the task, for whoever reads the run's
// output (the journal, temp\run.log).
void Say(const std::string& task, const std::string& what) {
  std::cout << task << ": " << what << std::endl;
}

std::string Count(std::size_t n, const std::string& one, const std::string& many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Each export starts the upload of its file at its end; an export that fails uploads nothing.
void ExportAvailableInventoryTask(RunContext& context) {
  std::size_t records = 0;
  const std::filesystem::path file = ExportAvailableInventory(context, &records);
  UploadFile(context.TempFolder(), PartnerFtpAccount(context.settings), file);
  Say("ExportAvailableInventory", Count(records, "record", "records") + " written to " +
                                      PathText(file) + ", handed to the upload");
}

void ExportOrderStatusTask(RunContext& context) {
  std::size_t records = 0;
  const std::filesystem::path file = ExportOrderStatus(context, &records);
  UploadFile(context.TempFolder(), PartnerFtpAccount(context.settings), file);
  Say("ExportOrderStatus", Count(records, "record", "records") + " (the label row and " +
                               Count(records > 0 ? records - 1 : 0, "order line", "order lines") +
                               ") written to " + PathText(file) + ", handed to the upload");
}

void DownloadOrderFileTask(RunContext& context) {
  const FtpAccount account = PartnerFtpAccount(context.settings);
  const OrderFileDownload download =
      DownloadOrderFile(context.programFolder, account, context.clock);
  if (download.fetched) {
    Say("DownloadOrderFile", download.listedName + " fetched from " + account.host + ", " +
                                 Count(download.bytes, "byte", "bytes") + ", as " +
                                 PathText(download.file));
  } else {
    Say("DownloadOrderFile",
        "no " + PathText(download.file.filename()) + " listed on " + account.host + " for today");
  }
}

void ImportOrderFileTask(RunContext& context) {
  const ImportSummary summary = ImportOrderFile(context);
  if (!summary.found) {
    Say("ImportOrderFile", "no " + PathText(summary.file) + ", nothing imported");
    return;
  }
  std::string what =
      PathText(summary.file) + ": " + Count(summary.ordersCreated, "order", "orders") + " with " +
      Count(summary.linesCreated, "line", "lines") + " created; " +
      Count(summary.ordersLeftAlone.size(), "order", "orders") + " left alone as already imported";
  for (std::size_t i = 0; i < summary.ordersLeftAlone.size(); ++i) {
    what += (i == 0 ? " (" : ", ") + summary.ordersLeftAlone[i];
  }
  if (!summary.ordersLeftAlone.empty()) what += ")";
  // The part numbers of the lines this run created: those of orders left alone were named by
  // the run that created them.
  if (summary.unmatchedPartNumbers.empty()) {
    if (summary.linesCreated > 0) what += "; every line created matched an item";
  } else {
    what += "; given the placeholder item, as they matched no item:";
    const char* separator = " ";
    for (const auto& [partNumber, row] : summary.unmatchedPartNumbers) {
      what += separator + partNumber + " (first in row " + std::to_string(row) + ")";
      separator = ", ";
    }
  }
  Say("ImportOrderFile", what);
}

}  // namespace

std::vector<Task> StandardTasks() {
  return {
      {"ExportAvailableInventory", ExportAvailableInventoryTask},
      {"ExportOrderStatus", ExportOrderStatusTask},
      {"DownloadOrderFile", DownloadOrderFileTask},
      {"ImportOrderFile", ImportOrderFileTask},
  };
}

}  // namespace saldor
