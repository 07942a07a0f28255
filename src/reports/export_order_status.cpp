#include "reports/export_order_status.h"

#include <array>

#include "reports/export_report.h"
#include "reports/order_status_query.h"
#include "reports/report_templates.h"
#include "transfer/upload_file.h"

namespace saldor {

void ExportOrderStatus(RunContext& context) {
  BusyPointer busy(context.screen);
  const Date runDate = LocalDate(context.clock());

  const std::array<Param, 1> params{runDate};
  const ResultSet rows = context.cnDatabase.Query(OrderStatusQuery(), params);

  const std::filesystem::path file =
      context.TempFolder() / ("Vendor_to_saldor_" + FormatDdMmmYyyy(AddDays(runDate, 1)) + ".csv");
  ExportReport(crptSaldorOrderStatus, rows, file);
  UploadFile(context, file);
}

}  // namespace saldor
