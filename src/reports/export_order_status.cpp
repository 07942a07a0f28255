#include "reports/export_order_status.h"

#include <array>

#include "app/partner_files.h"
#include "reports/export_report.h"
#include "reports/order_status_query.h"
#include "reports/report_templates.h"

namespace saldor {

std::filesystem::path ExportOrderStatus(RunContext& context, std::size_t* records) {
  BusyPointer busy(context.screen);
  const Date runDate = LocalDate(context.clock());

  const std::array<Param, 1> params{runDate};
  const ResultSet rows = context.cnDatabase.Query(OrderStatusQuery(), params);

  std::filesystem::path file = context.TempFolder() / OrderStatusFileName(runDate);
  ExportReport(crptSaldorOrderStatus, rows, file);
  if (records) *records = rows.size();
  return file;
}

}  // namespace saldor
