#include "import/order_header.h"

#include <iterator>
#include <string>

namespace saldor {

const std::array<std::string_view, 65> kOrderHeaderColumns = {
    "OrderNumber",
    "Customer",
    "OrderDate",
    "ShipDate",
    "RequestedShipDate",
    "ETA",
    "ShipTo",
    "ShipToAddress1",
    "ShipToAddress2",
    "ShipToCity",
    "ShipToState",
    "ShipToZip",
    "ShipToContact",
    "ShipToPhone",
    "ShipToFax",
    "BillTo",
    "BillToAddress1",
    "BillToAddress2",
    "BillToCity",
    "BillToState",
    "BillToZip",
    "BillToContact",
    "BillToPhone",
    "BillToFax",
    "Terms",
    "Status",
    "DateAdded",
    "ShipMethod",
    "SubTotal",
    "Freight",
    "Miscellaneous",
    "DiscountPercent",
    "TaxPercent",
    "Total",
    "EnteredBy",
    "Memo",
    "InvoiceMemo",
    "SalesType",
    "SalesRep",
    "DirectSale",
    "TotalCost",
    "FOB",
    "ProductCategory",
    "RequestedDeliveryDate",
    "Location",
    "FreightTerms",
    "TPBillTo",
    "TPBillToA1",
    "TPBillToA2",
    "TPBillToCity",
    "TPBillToState",
    "TPBillToZip",
    "TPContact",
    "TPPhone",
    "TPFax",
    "TPAcctNo",
    "PickTicketPrinted",
    "Flagged",
    "ShipFrom",
    "ShipFromAddress",
    "ShipFromCity",
    "ShipFromState",
    "ShipFromZip",
    "Memo2",
    "OrderType",
};

void AppendOrderHeaderValues(const OrderFileRow& row, Date orderDate, const DateTime& dateAdded,
                             const OrderTotals& totals, std::vector<Param>& values) {
  using P = PartnerConstants;
  const std::string empty;
  const std::int64_t zero = 0;
  const auto text = [](std::string_view value) { return Param(std::string(value)); };
  const Param orderValues[] = {
      row.ColOrderNo,                        // OrderNumber
      text(P::kCustomer),                    // Customer
      orderDate,                             // OrderDate
      empty,                                 // ShipDate
      orderDate,                             // RequestedShipDate
      empty,                                 // ETA
      row.ColShipToName,                     // ShipTo
      row.ColShipToAddress1,                 // ShipToAddress1
      row.ColShipToAddress2,                 // ShipToAddress2
      row.ColShipToCity,                     // ShipToCity
      row.ColShipToState,                    // ShipToState
      row.ColShipToZip,                      // ShipToZip
      empty,                                 // ShipToContact
      empty,                                 // ShipToPhone
      empty,                                 // ShipToFax
      text(P::kCustomer),                    // BillTo
      row.ColBillToAddress1,                 // BillToAddress1
      row.ColBillToAddress2,                 // BillToAddress2
      row.ColBillToCity,                     // BillToCity
      row.ColBillToState,                    // BillToState
      row.ColBillToZip,                      // BillToZip
      empty,                                 // BillToContact
      empty,                                 // BillToPhone
      empty,                                 // BillToFax
      text(P::kTerms),                       // Terms
      text("Open"),                          // Status
      dateAdded,                             // DateAdded
      text(P::kShipMethod),                  // ShipMethod
      totals.subTotal,                       // SubTotal
      zero,                                  // Freight
      zero,                                  // Miscellaneous
      zero,                                  // DiscountPercent
      zero,                                  // TaxPercent
      totals.subTotal,                       // Total
      text(kImportEnteredBy),                // EnteredBy
      row.ColMemo1 + "\r\n" + row.ColMemo2,  // Memo
      empty,                                 // InvoiceMemo
      text(P::kSalesType),                   // SalesType
      text(P::kSalesRep),                    // SalesRep
      false,                                 // DirectSale
      totals.cost,                           // TotalCost
      empty,                                 // FOB
      empty,                                 // ProductCategory
      empty,                                 // RequestedDeliveryDate
      text(P::kLocation),                    // Location
      text(P::kFreightTerms),                // FreightTerms
      empty,                                 // TPBillTo
      empty,                                 // TPBillToA1
      empty,                                 // TPBillToA2
      empty,                                 // TPBillToCity
      empty,                                 // TPBillToState
      empty,                                 // TPBillToZip
      empty,                                 // TPContact
      empty,                                 // TPPhone
      empty,                                 // TPFax
      empty,                                 // TPAcctNo
      false,                                 // PickTicketPrinted
      false,                                 // Flagged
      text(P::kCustomer),                    // ShipFrom
      text("88 QUARRY LANE WEST"),           // ShipFromAddress
      text("WESTBRAM"),                      // ShipFromCity
      text("NY"),                            // ShipFromState
      text("11999"),                         // ShipFromZip
      empty,                                 // Memo2
      text(P::kOrderType),                   // OrderType
  };
  values.insert(values.end(), std::begin(orderValues), std::end(orderValues));
}

}  // namespace saldor
