#include "reports/order_status_query.h"

#include <string>

namespace saldor {
namespace {

// 1 when `column` reads as a number: an optional sign, digits, at most one decimal point.
std::string IsNumeric(const std::string& column) {
  const std::string body = "(CASE WHEN " + column + " GLOB '[+-]*' THEN substr(" + column +
                           ",2) ELSE " + column + " END)";
  return "(" + column + " IS NOT NULL AND " + body + " GLOB '*[0-9]*' AND " + body +
         " NOT GLOB '*[^0-9.]*' AND " + body + " NOT GLOB '*.*.*')";
}

// The date of `column` as MM/DD/YYYY.
std::string MmDdYyyy(const std::string& column) { return "strftime('%m/%d/%Y'," + column + ")"; }

// A value as text of at most 30 characters; whole numbers without a decimal part.
std::string AsVarchar(const std::string& column) {
  return "substr(CASE WHEN typeof(" + column + ")='real' AND " + column + "=CAST(" + column +
         " AS INTEGER) THEN CAST(CAST(" + column + " AS INTEGER) AS TEXT) ELSE CAST(" + column +
         " AS TEXT) END,1,30)";
}

std::string SqliteText() {
  return "SELECT ' PO_NUMBER' AS OrderNumber,'LINE_NUMBER' AS ItemNumber,"
         "'SHIPMENT_NUMBER' AS ShipmentNumber,'VENDOR_NAME' AS VendorName,"
         "'ORDER_STATUS' AS ItemStatus,'EXPECTED_SHIP_DATE' AS ExpectedShipDate,"
         "'DATE_SHIPPED' AS ShipDate,'EXPECTED_DELIVERY_DATE' AS ExpectedDeliveryDate,"
         "'QUANTITY_SHIPPED' AS ShipQty,'TRAKCING_NUMBER' AS TrackNumber,"
         "'INVOICE_NUMBER' AS InvoiceNumber,'CONFIRMATION_NUMBER' AS ConfirmationNumber"
         " UNION"
         " SELECT " +
         AsVarchar("Orders.OrderNumber") + " AS OrderNumber," + AsVarchar("OrderItems.ItemNumber") +
         " AS ItemNumber,'1' AS ShipmentNumber,'VARNELLO' AS VendorName,"
         "IFNULL(OrderItems.ItemStatus,'') AS ItemStatus," +
         MmDdYyyy("OrderItems.ExpectedShipDate") + " AS ExpectedShipDate," +
         MmDdYyyy("Shipment.ShipDate") + " AS ShipDate,'' AS ExpectedDeliveryDate," +
         AsVarchar("ShipmentItems.Qty") + " AS ShipQty,'#'||Shipment.TrackNumber AS TrackNumber," +
         AsVarchar("Invoice.ID") +
         " AS InvoiceNumber,'' AS ConfirmationNumber"
         " FROM OrderItems LEFT JOIN Orders ON OrderItems.OrderID=Orders.ID"
         " LEFT JOIN ShipmentItems ON OrderItems.OrderID=ShipmentItems.OrderID"
         " AND OrderItems.ItemNumber=ShipmentItems.OrderLineItem"
         " LEFT JOIN Shipment ON ShipmentItems.ShipmentID=Shipment.ID"
         " LEFT JOIN Invoice ON Shipment.ID=Invoice.Shipment"
         " WHERE " +
         IsNumeric("Orders.OrderNumber") +
         " AND Orders.Customer='SALDOR CONTRACT'"
         " AND ((OrderItems.Quantity>OrderItems.Shipped AND Orders.Status='Open')"
         " OR (julianday(Shipment.ShipDate)=julianday(?)))"
         " ORDER BY OrderNumber,ItemNumber";
}

}  // namespace

Sql OrderStatusQuery() {
  return Sql{
      "(SELECT ' PO_NUMBER' AS OrderNumber,'LINE_NUMBER' AS ItemNumber, 'SHIPMENT_NUMBER' AS "
      "ShipmentNumber,'VENDOR_NAME' AS VendorName,"
      " 'ORDER_STATUS' AS ItemStatus,'EXPECTED_SHIP_DATE' AS ExpectedShipDate,'DATE_SHIPPED' AS "
      "ShipDate,'EXPECTED_DELIVERY_DATE' AS ExpectedDeliveryDate,"
      " 'QUANTITY_SHIPPED' AS ShipQty,'TRAKCING_NUMBER' AS TrackNumber,'INVOICE_NUMBER' AS "
      "InvoiceNumber,'CONFIRMATION_NUMBER' AS ConfirmationNumber)"
      " Union"
      " (SELECT CAST(Orders.OrderNumber AS VARCHAR),CAST(OrderItems.ItemNumber AS VARCHAR),'1' AS "
      "ShipmentNumber,'VARNELLO' AS VendorName,"
      " ISNULL(OrderItems.ItemStatus,'') AS ItemStatus,"
      " CONVERT(VARCHAR(10), OrderItems.ExpectedShipDate, 101) AS [MM/DD/YYYY],"
      " CONVERT(VARCHAR(10), Shipment.ShipDate, 101) AS [MM/DD/YYYY],"
      " '' AS ExpectedDeliveryDate, CAST(ShipmentItems.Qty AS VARCHAR) AS ShipQty,"
      " '#'+Shipment.TrackNumber,CAST(Invoice.ID AS VARCHAR) AS InvoiceNumber,'' AS "
      "ConfirmationNumber"
      " From"
      " OrderItems LEFT JOIN Orders ON OrderItems.OrderID=Orders.ID"
      " LEFT JOIN ShipmentItems ON OrderItems.OrderID=ShipmentItems.OrderID AND "
      "OrderItems.ItemNumber=ShipmentItems.OrderLineItem"
      " LEFT JOIN Shipment ON ShipmentItems.ShipmentID=Shipment.ID"
      " LEFT JOIN Invoice ON Shipment.ID=Invoice.Shipment"
      " where ISNUMERIC(Orders.OrderNumber)=1 AND"
      " Orders.Customer='SALDOR CONTRACT' AND ((OrderItems.Quantity>OrderItems.Shipped AND "
      "Orders.Status='Open') OR (Shipment.ShipDate="
      "?"
      ")))"
      " ORDER BY OrderNumber,ItemNumber",
      SqliteText(),
  };
}

}  // namespace saldor
