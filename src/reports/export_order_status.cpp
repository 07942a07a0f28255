#include "reports/export_order_status.h"

namespace saldor {

void ExportOrderStatus(RunContext& /*context*/) {}

}  // namespace saldor
