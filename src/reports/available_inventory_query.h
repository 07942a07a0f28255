#ifndef SALDOR_REPORTS_AVAILABLE_INVENTORY_QUERY_H_
#define SALDOR_REPORTS_AVAILABLE_INVENTORY_QUERY_H_

#include "app/database.h"

namespace saldor {

// The rows to allocate: for every part number of the partner (customer 645, first two pieces not
// empty) mapped to an item with a stock record at "RVL - MS", one row per open purchase order
// line of the item (or one row without when it has none), kept when its free stock or its open
// quantity rounds to more than 0. Columns ItemID, CustomerPartNumber1..3, UOM, RunLotNumber,
// QtyAvail, InProduction, DueDate2, AddSpokenFor; ordered by the part numbers, then DueDate2.
// No parameters.
Sql AvailableInventoryQuery();

// Empties the work table.
Sql ClearAvailableInventorySql();

// Reads the work table back in part-number and due-date order, for the export.
Sql AvailableInventorySnapshotQuery();

}  // namespace saldor

#endif  // SALDOR_REPORTS_AVAILABLE_INVENTORY_QUERY_H_
