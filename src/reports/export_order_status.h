#ifndef SALDOR_REPORTS_EXPORT_ORDER_STATUS_H_
#define SALDOR_REPORTS_EXPORT_ORDER_STATUS_H_

#include "app/run_context.h"

namespace saldor {

// `ExportOrderStatus`: Writes the order status file and starts its upload.
void ExportOrderStatus(RunContext& context);

}  // namespace saldor

#endif  // SALDOR_REPORTS_EXPORT_ORDER_STATUS_H_
