#ifndef SALDOR_REPORTS_ORDER_STATUS_QUERY_H_
#define SALDOR_REPORTS_ORDER_STATUS_QUERY_H_

#include "app/database.h"

namespace saldor {

// The order status data set: the label row, then one row per open, not fully shipped line of a
// "SALDOR CONTRACT" order with a numeric order number, and per line with a shipment dated the run
// date, combined with each of its shipment lines and invoices. Twelve text columns, OrderNumber to
// ConfirmationNumber, ordered by the text of OrderNumber, then ItemNumber.
// One parameter: the run date (a Date), compared with the whole ShipDate value.
Sql OrderStatusQuery();

}  // namespace saldor

#endif  // SALDOR_REPORTS_ORDER_STATUS_QUERY_H_
