// The SQL Server texts of the import, pinned to the statements the business database expects.
#include <gtest/gtest.h>

#include <string>

#include "import/imported_orders.h"
#include "import/item_match.h"
#include "import/order_header.h"
#include "import/order_line.h"

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

TEST(ImportSqlTest, ItemLookupJoinsMappingsOfActiveItemsForEveryPairAtOnce) {
  EXPECT_EQ(ItemMatchSql(2).sqlServer,
            "SELECT Pairs.N AS PairNumber,Item.* FROM (VALUES (?,?,?),(?,?,?)) AS Pairs "
            "(N,Part1,Part2) JOIN ItemCustomerPartNumber ON "
            "ItemCustomerPartNumber.CustomerPartNumber1=Pairs.Part1 AND "
            "ItemCustomerPartNumber.CustomerPartNumber2=Pairs.Part2 JOIN Item ON "
            "Item.ID=ItemCustomerPartNumber.ItemID WHERE ISNULL(Item.Inactive,0)=0 "
            "ORDER BY Pairs.N,ItemCustomerPartNumber.ID");
}

TEST(ImportSqlTest, OrderHeaderInsertsTheSixtyFiveFieldsAndReadsEachNewId) {
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
  // Several orders in one request: each key read right after its own insert.
  const std::string insert = " INSERT INTO Orders (" + columns + ") VALUES (" + Markers(65) + ");";
  EXPECT_EQ(InsertReturningKeySql("Orders", kOrderHeaderColumns, 2).sqlServer,
            "SET NOCOUNT ON; DECLARE @Keys TABLE (N int PRIMARY KEY, ID bigint);" + insert +
                " INSERT INTO @Keys (N, ID) VALUES (1, SCOPE_IDENTITY());" + insert +
                " INSERT INTO @Keys (N, ID) VALUES (2, SCOPE_IDENTITY()); SELECT ID FROM @Keys "
                "ORDER BY N");
}

TEST(ImportSqlTest, OrderLinesInsertTheEighteenFieldsManyAtOnce) {
  const std::string columns =
      "OrderID,ItemNumber,Item,ItemName,Quantity,Shipped,Category,PriceEach,PriceExt,"
      "WeightEach,WeightExt,VendorPartNumber,ItemDescription,CostEach,CostExt,YardsPerRoll,"
      "PromiseDate,ItemStatus";
  EXPECT_EQ(Join(kOrderLineColumns), columns);
  // Many at once as one JSON document; a column with a text that JSON escapes comes beside it.
  std::vector<std::string> types(18, "nvarchar(max)");
  std::vector<bool> markers(18, false);
  markers[3] = true;  // ItemName
  std::string selected, read;
  for (int i = 1; i <= 18; ++i) {
    const std::string name = "C" + std::to_string(i);
    selected += (i > 1 ? "," : "") + std::string(i == 4 ? "M." : "J.") + name;
    if (i != 4) read += "," + name + " nvarchar(max) '$[" + std::to_string(i) + "]'";
  }
  EXPECT_EQ(JsonInsertSql("OrderItems", kOrderLineColumns, types, markers, 2, false).sqlServer,
            "INSERT INTO OrderItems (" + columns + ") SELECT " + selected +
                " FROM OPENJSON(?) WITH (N int '$[0]'" + read +
                ") AS J JOIN (VALUES (0,?),(1,?)) AS M (N,C4) ON M.N=J.N ORDER BY J.N");
}

TEST(ImportSqlTest, AnEarlierImportsOrdersAreFoundByCustomerUserAndDate) {
  EXPECT_EQ(ImportedOrderNumbersSql().sqlServer,
            "SELECT OrderNumber FROM Orders WHERE Customer=? AND EnteredBy=? AND OrderDate=?");
}

}  // namespace
}  // namespace saldor
