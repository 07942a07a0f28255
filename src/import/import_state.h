#ifndef SALDOR_IMPORT_IMPORT_STATE_H_
#define SALDOR_IMPORT_IMPORT_STATE_H_

#include <string>

namespace saldor {

// The state the import keeps from row to row of one order file.
struct ImportState {
  // The database ID of the open order as its decimal text; empty while no order is open.
  std::string currentOrderId;
  // Sums over the lines of the open order: quantity times unit price, and landed cost times
  // quantity. Reset to 0 when an order is created.
  double orderSubTotalSum = 0;
  double orderCostSum = 0;
};

}  // namespace saldor

#endif  // SALDOR_IMPORT_IMPORT_STATE_H_
