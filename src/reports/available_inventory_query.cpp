#include "reports/available_inventory_query.h"

#include <string>

namespace saldor {
namespace {

// The part numbers in the order of their exact texts, so that equal part numbers are next to one
// another exactly where the allocation compares them exactly. SQL Server's usual collations
// ignore letter case, and every collation ignores trailing blanks: "Q", "q" and "Q " would sort as
// one key and interleave by due date. The binary collation tells case apart, the length trailing
// blanks. SQLite compares texts exactly already.
const std::string kExactPartNumberOrder =
    "CustomerPartNumber1 COLLATE Latin1_General_BIN2,DATALENGTH(CustomerPartNumber1),"
    "CustomerPartNumber2 COLLATE Latin1_General_BIN2,DATALENGTH(CustomerPartNumber2),"
    "CustomerPartNumber3 COLLATE Latin1_General_BIN2,DATALENGTH(CustomerPartNumber3)";

}  // namespace

Sql AvailableInventoryQuery() {
  return Sql{
      "SELECT "
      " ItemCustomerPartNumber.ItemID,ItemCustomerPartNumber.CustomerPartNumber1,"
      "ItemCustomerPartNumber.CustomerPartNumber2,ItemCustomerPartNumber.CustomerPartNumber3,"
      " 'YARD' AS UOM,'' AS RunLotNumber,CASE"
      " WHEN ISNULL(ItemLocation.Quantity,0)-ISNULL(ItemLocation.SpokenFor,0)<0 THEN 0"
      " ELSE ISNULL(ItemLocation.Quantity,0)-ISNULL(ItemLocation.SpokenFor,0)"
      " END AS QtyAvail,"
      " ISNULL(PO.Quantity,0)-ISNULL(PO.Received,0) AS InProduction,PO.DueDate2,"
      " CASE"
      " WHEN ISNULL(ItemLocation.Quantity,0)-ISNULL(ItemLocation.SpokenFor,0)<0 THEN "
      "ISNULL(ItemLocation.Quantity,0)-ISNULL(ItemLocation.SpokenFor,0)"
      " ELSE 0"
      " END AS AddSpokenFor"
      " From"
      " ItemCustomerPartNumber LEFT JOIN ItemLocation ON "
      "ItemCustomerPartNumber.ItemID=ItemLocation.Item"
      " Left Join"
      " (SELECT Item,Quantity,Received,DueDate2"
      " FROM PurchaseOrderItems LEFT JOIN PurchaseOrder ON PurchaseOrderItems.PO=PurchaseOrder.PO"
      " where"
      " PurchaseOrder.Status='Open' AND PurchaseOrder.ShipToLocation='RVL - MS'"
      " AND ISNULL(PurchaseOrderItems.Quantity,0)-ISNULL(PurchaseOrderItems.Received,0)>0) PO ON "
      "ItemCustomerPartNumber.ItemID=PO.Item"
      " WHERE ItemLocation.Location = 'RVL - MS' AND ItemCustomerPartNumber.CustomerID=645"
      " AND CustomerPartNumber1<>'' AND CustomerPartNumber2<>''"
      " AND ((ROUND(ISNULL(ItemLocation.Quantity,0)-ISNULL(ItemLocation.SpokenFor,0),2)>0) OR "
      "(ROUND(ISNULL(PO.Quantity,0)-ISNULL(PO.Received,0),2)>0))"
      " ORDER BY " +
          kExactPartNumberOrder + ",DueDate2",

      // The free stock is computed once in the inner select; the rest reads the same as above.
      // The quantities are cast to REAL because the SQLite driver types an expression column by
      // its first row: an integer 0 there would turn every later 0.025 into 0.
      "SELECT ItemID,CustomerPartNumber1,CustomerPartNumber2,CustomerPartNumber3,"
      " 'YARD' AS UOM,'' AS RunLotNumber,"
      " CAST(CASE WHEN Free<0 THEN 0 ELSE Free END AS REAL) AS QtyAvail,"
      " CAST(OpenQty AS REAL) AS InProduction,DueDate2 AS DueDate2,"
      " CAST(CASE WHEN Free<0 THEN Free ELSE 0 END AS REAL) AS AddSpokenFor"
      " FROM (SELECT ItemCustomerPartNumber.ItemID AS ItemID,"
      " ItemCustomerPartNumber.CustomerPartNumber1 AS CustomerPartNumber1,"
      " ItemCustomerPartNumber.CustomerPartNumber2 AS CustomerPartNumber2,"
      " ItemCustomerPartNumber.CustomerPartNumber3 AS CustomerPartNumber3,"
      " IFNULL(ItemLocation.Quantity,0)-IFNULL(ItemLocation.SpokenFor,0) AS Free,"
      " IFNULL(PO.Quantity,0)-IFNULL(PO.Received,0) AS OpenQty,PO.DueDate2 AS DueDate2"
      " FROM ItemCustomerPartNumber"
      " LEFT JOIN ItemLocation ON ItemCustomerPartNumber.ItemID=ItemLocation.Item"
      " LEFT JOIN (SELECT Item,Quantity,Received,DueDate2"
      " FROM PurchaseOrderItems LEFT JOIN PurchaseOrder ON PurchaseOrderItems.PO=PurchaseOrder.PO"
      " WHERE PurchaseOrder.Status='Open' AND PurchaseOrder.ShipToLocation='RVL - MS'"
      " AND IFNULL(PurchaseOrderItems.Quantity,0)-IFNULL(PurchaseOrderItems.Received,0)>0) PO"
      " ON ItemCustomerPartNumber.ItemID=PO.Item"
      " WHERE ItemLocation.Location='RVL - MS' AND ItemCustomerPartNumber.CustomerID=645"
      " AND ItemCustomerPartNumber.CustomerPartNumber1<>''"
      " AND ItemCustomerPartNumber.CustomerPartNumber2<>'')"
      " WHERE ROUND(Free,2)>0 OR ROUND(OpenQty,2)>0"
      " ORDER BY CustomerPartNumber1,CustomerPartNumber2,CustomerPartNumber3,DueDate2",
  };
}

Sql ClearAvailableInventorySql() {
  return Sql{"DELETE FROM tmpSaldorAvailInv", "DELETE FROM tmpSaldorAvailInv"};
}

Sql AvailableInventorySnapshotQuery() {
  return Sql{"SELECT * FROM tmpSaldorAvailInv ORDER BY " + kExactPartNumberOrder + ",DueDate2",
             "SELECT * FROM tmpSaldorAvailInv ORDER BY "
             "CustomerPartNumber1,CustomerPartNumber2,CustomerPartNumber3,DueDate2"};
}

}  // namespace saldor
