-- The vendor's business database as SQL Server holds it, as far as SaldorAuto reads and writes
-- it: the tables and columns the program uses, with the types a vendor's database has for them
-- (int IDENTITY keys, varchar texts, money amounts, float measures, datetime dates, bit flags),
-- and an audit trigger on Orders as business databases often have. The program creates no table;
-- the tests and the SQL Server demo create this schema in a database of their own.
-- Batches are separated by GO lines, as sqlcmd and SQL Server Management Studio run them.
--
-- ShipDate, ETA and RequestedDeliveryDate of Orders are texts: every new order stores the empty
-- text in them, which a datetime column would turn into 1900-01-01.

CREATE TABLE Item (
  ID int IDENTITY(1,1) NOT NULL PRIMARY KEY,
  Name varchar(100) NULL,
  Category varchar(30) NULL,
  Weight float NULL,
  VendorPartNumber varchar(50) NULL,
  LandedCost money NULL,
  YardsPerRoll float NULL,
  Inactive bit NULL
);

CREATE TABLE ItemCustomerPartNumber (
  ID int IDENTITY(1,1) NOT NULL PRIMARY KEY,
  ItemID int NULL,
  CustomerID int NULL,
  CustomerPartNumber1 varchar(50) NULL,
  CustomerPartNumber2 varchar(50) NULL,
  CustomerPartNumber3 varchar(50) NULL
);

CREATE TABLE ItemLocation (
  ID int IDENTITY(1,1) NOT NULL PRIMARY KEY,
  Item int NULL,
  Location varchar(30) NULL,
  Quantity float NULL,
  SpokenFor float NULL
);

CREATE TABLE PurchaseOrder (
  PO int NOT NULL PRIMARY KEY,
  Status varchar(20) NULL,
  ShipToLocation varchar(30) NULL
);

CREATE TABLE PurchaseOrderItems (
  ID int IDENTITY(1,1) NOT NULL PRIMARY KEY,
  PO int NULL,
  Item int NULL,
  Quantity float NULL,
  Received float NULL,
  DueDate2 datetime NULL
);

CREATE TABLE tmpSaldorAvailInv (
  ID int IDENTITY(1,1) NOT NULL PRIMARY KEY,
  ItemID float NULL,
  CustomerPartNumber1 varchar(50) NULL,
  CustomerPartNumber2 varchar(50) NULL,
  CustomerPartNumber3 varchar(50) NULL,
  UOM varchar(10) NULL,
  RunLotNumber varchar(30) NULL,
  QtyAvail float NULL,
  InProduction float NULL,
  DueDate2 datetime NULL
);

CREATE TABLE Orders (
  ID int IDENTITY(1,1) NOT NULL PRIMARY KEY,
  OrderNumber varchar(30) NULL,
  Customer varchar(50) NULL,
  OrderDate datetime NULL,
  ShipDate varchar(20) NULL,
  RequestedShipDate datetime NULL,
  ETA varchar(20) NULL,
  ShipTo varchar(100) NULL,
  ShipToAddress1 varchar(100) NULL,
  ShipToAddress2 varchar(100) NULL,
  ShipToCity varchar(50) NULL,
  ShipToState varchar(20) NULL,
  ShipToZip varchar(20) NULL,
  ShipToContact varchar(50) NULL,
  ShipToPhone varchar(30) NULL,
  ShipToFax varchar(30) NULL,
  BillTo varchar(100) NULL,
  BillToAddress1 varchar(100) NULL,
  BillToAddress2 varchar(100) NULL,
  BillToCity varchar(50) NULL,
  BillToState varchar(20) NULL,
  BillToZip varchar(20) NULL,
  BillToContact varchar(50) NULL,
  BillToPhone varchar(30) NULL,
  BillToFax varchar(30) NULL,
  Terms varchar(30) NULL,
  Status varchar(20) NULL,
  DateAdded datetime NULL,
  ShipMethod varchar(30) NULL,
  SubTotal money NULL,
  Freight money NULL,
  Miscellaneous money NULL,
  DiscountPercent float NULL,
  TaxPercent float NULL,
  Total money NULL,
  EnteredBy varchar(30) NULL,
  Memo varchar(2000) NULL,
  InvoiceMemo varchar(2000) NULL,
  SalesType varchar(30) NULL,
  SalesRep varchar(10) NULL,
  DirectSale bit NULL,
  TotalCost money NULL,
  FOB varchar(30) NULL,
  ProductCategory varchar(30) NULL,
  RequestedDeliveryDate varchar(20) NULL,
  Location varchar(30) NULL,
  FreightTerms varchar(30) NULL,
  TPBillTo varchar(100) NULL,
  TPBillToA1 varchar(100) NULL,
  TPBillToA2 varchar(100) NULL,
  TPBillToCity varchar(50) NULL,
  TPBillToState varchar(20) NULL,
  TPBillToZip varchar(20) NULL,
  TPContact varchar(50) NULL,
  TPPhone varchar(30) NULL,
  TPFax varchar(30) NULL,
  TPAcctNo varchar(30) NULL,
  PickTicketPrinted bit NULL,
  Flagged bit NULL,
  ShipFrom varchar(100) NULL,
  ShipFromAddress varchar(100) NULL,
  ShipFromCity varchar(50) NULL,
  ShipFromState varchar(20) NULL,
  ShipFromZip varchar(20) NULL,
  Memo2 varchar(2000) NULL,
  OrderType varchar(20) NULL
);

CREATE TABLE OrderItems (
  ID int IDENTITY(1,1) NOT NULL PRIMARY KEY,
  OrderID int NULL,
  ItemNumber varchar(10) NULL,
  Item int NULL,
  ItemName varchar(100) NULL,
  Quantity float NULL,
  Shipped float NULL,
  Category varchar(30) NULL,
  PriceEach money NULL,
  PriceExt money NULL,
  WeightEach float NULL,
  WeightExt float NULL,
  VendorPartNumber varchar(50) NULL,
  ItemDescription varchar(255) NULL,
  CostEach money NULL,
  CostExt money NULL,
  YardsPerRoll float NULL,
  PromiseDate datetime NULL,
  ItemStatus varchar(30) NULL,
  ExpectedShipDate datetime NULL
);

CREATE TABLE Shipment (
  ID int IDENTITY(1,1) NOT NULL PRIMARY KEY,
  ShipDate datetime NULL,
  TrackNumber varchar(50) NULL
);

CREATE TABLE ShipmentItems (
  ID int IDENTITY(1,1) NOT NULL PRIMARY KEY,
  ShipmentID int NULL,
  OrderID int NULL,
  OrderLineItem varchar(10) NULL,
  Qty float NULL
);

CREATE TABLE Invoice (
  ID int IDENTITY(1,1) NOT NULL PRIMARY KEY,
  Shipment int NULL
);

-- Who added which order, when: written by the trigger below, never by the program.
CREATE TABLE OrdersAudit (
  ID int IDENTITY(500000,1) NOT NULL PRIMARY KEY,
  OrderID int NOT NULL,
  OrderNumber varchar(30) NULL,
  Action varchar(10) NOT NULL,
  AuditDate datetime NOT NULL DEFAULT GETDATE()
);

CREATE INDEX ItemCustomerPartNumberByParts
  ON ItemCustomerPartNumber (CustomerPartNumber1, CustomerPartNumber2);
CREATE INDEX ItemLocationByItem ON ItemLocation (Item, Location);
CREATE INDEX PurchaseOrderItemsByItem ON PurchaseOrderItems (Item);
CREATE INDEX OrderItemsByOrder ON OrderItems (OrderID);
CREATE INDEX ShipmentItemsByLine ON ShipmentItems (OrderID, OrderLineItem);
CREATE INDEX InvoiceByShipment ON Invoice (Shipment);
GO

-- Every new order leaves an audit row. The audit table has an identity of its own, so that a
-- client that took @@IDENTITY for the new order's key would get the audit row's instead.
CREATE TRIGGER OrdersAuditInsert ON Orders AFTER INSERT AS
BEGIN
  SET NOCOUNT ON;
  INSERT INTO OrdersAudit (OrderID, OrderNumber, Action)
    SELECT ID, OrderNumber, 'INSERT' FROM inserted;
END
GO
