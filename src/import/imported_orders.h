#ifndef SALDOR_IMPORT_IMPORTED_ORDERS_H_
#define SALDOR_IMPORT_IMPORTED_ORDERS_H_

#include <set>
#include <string>

#include "app/database.h"

namespace saldor {

// The order numbers of the orders of one customer, entered by one user, dated one day: "?"
// markers for the customer, the user and the order date, in that order.
Sql ImportedOrderNumbersSql();

// The order numbers of the partner's orders that an import created with order date `orderDate`
// and that are in the database now: an order of today's file whose number is among them came in
// with an earlier import of the same day. Reads the database only; a failure raises the
// driver's error.
std::set<std::string> ImportedOrderNumbers(Database& db, Date orderDate);

}  // namespace saldor

#endif  // SALDOR_IMPORT_IMPORTED_ORDERS_H_
