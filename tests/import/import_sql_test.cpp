// The SQL Server texts of the import, pinned to the statements the business database expects.
#include <gtest/gtest.h>

#include <string>

#include "import/item_match.h"
#include "import/order_header.h"
#include "import/order_line.h"
#include "import/order_totals.h"

namespace saldor {
namespace {

std::string Join(auto const& columns) {
  std::string text;
  for (std::string_view column : columns) text += (text.empty() ? "" : ",") + std::string(column);
  return text;
}

std::string Markers(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += i == 0 ? "?" : ",?";
  return text;
}

TEST(ImportSqlTest, ItemLookupJoinsMappingsOfActiveItems) {
  EXPECT_EQ(ItemMatchSql().sqlServer,
            std::string("SELECT Item.* FROM Item LEFT JOIN ItemCustomerPartNumber ON "
                        "Item.ID=ItemCustomerPartNumber.ItemID WHERE ISNULL(Item.Inactive,0)=0 "
                        "AND ItemCustomerPartNumber.CustomerPartNumber1=") +
                "?" + " AND ItemCustomerPartNumber.CustomerPartNumber2=" + "?");
}

TEST(ImportSqlTest, OrderHeaderInsertsTheSixtyFiveFieldsAndReadsTheNewId) {
  const std::string columns =
      "OrderNumber,Customer,OrderDate,ShipDate,RequestedShipDate,ETA,ShipTo,ShipToAddress1,"
      "ShipToAddress2,ShipToCity,ShipToState,ShipToZip,ShipToContact,ShipToPhone,ShipToFax,"
      "BillTo,BillToAddress1,BillToAddress2,BillToCity,BillToState,BillToZip,BillToContact,"
      "BillToPhone,BillToFax,Terms,Status,DateAdded,ShipMethod,SubTotal,Freight,Miscellaneous,"
      "DiscountPercent,TaxPercent,Total,EnteredBy,Memo,InvoiceMemo,SalesType,SalesRep,"
      "DirectSale,TotalCost,FOB,ProductCategory,RequestedDeliveryDate,Location,FreightTerms,"
      "TPBillTo,TPBillToA1,TPBillToA2,TPBillToCity,TPBillToState,TPBillToZip,TPContact,TPPhone,"
      "TPFax,TPAcctNo,PickTicketPrinted,Flagged,ShipFrom,ShipFromAddress,ShipFromCity,"
      "ShipFromState,ShipFromZip,Memo2,OrderType";
  EXPECT_EQ(Join(kOrderHeaderColumns), columns);
  EXPECT_EQ(OrderHeaderInsertSql().sqlServer,
            "SET NOCOUNT ON; INSERT INTO Orders (" + columns + ") VALUES (" + Markers(65) +
                "); SELECT CAST(SCOPE_IDENTITY() AS BIGINT) AS ID");
}

TEST(ImportSqlTest, OrderLineInsertsTheEighteenFields) {
  const std::string columns =
      "OrderID,ItemNumber,Item,ItemName,Quantity,Shipped,Category,PriceEach,PriceExt,"
      "WeightEach,WeightExt,VendorPartNumber,ItemDescription,CostEach,CostExt,YardsPerRoll,"
      "PromiseDate,ItemStatus";
  EXPECT_EQ(OrderLineInsertSql().sqlServer,
            "INSERT INTO OrderItems (" + columns + ") VALUES (" + Markers(18) + ")");
}

TEST(ImportSqlTest, RollUpUpdatesTheThreeTotalsOfOneOrder) {
  EXPECT_EQ(OrderTotalsUpdateSql().sqlServer,
            "UPDATE Orders SET SubTotal=?,Total=?,TotalCost=? WHERE ID=?");
}

}  // namespace
}  // namespace saldor
