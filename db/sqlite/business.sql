-- The vendor's business database, as far as SaldorAuto reads and writes it, for the embedded
-- default (SQLite) used by the demo and the tests. The production database is SQL Server and
-- belongs to the vendor; the program creates no table.
-- IDs are autoincrement keys; dates are ISO text ("2026-12-08", or "2026-12-08 10:30:00" with a
-- time of day).

CREATE TABLE Item (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  Name TEXT,
  Category TEXT,
  Weight REAL,
  VendorPartNumber TEXT,
  LandedCost REAL,
  YardsPerRoll REAL,
  Inactive INTEGER
);

CREATE TABLE ItemCustomerPartNumber (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  ItemID INTEGER,
  CustomerID INTEGER,
  CustomerPartNumber1 TEXT,
  CustomerPartNumber2 TEXT,
  CustomerPartNumber3 TEXT
);

CREATE TABLE ItemLocation (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  Item INTEGER,
  Location TEXT,
  Quantity REAL,
  SpokenFor REAL
);

CREATE TABLE PurchaseOrder (
  PO INTEGER PRIMARY KEY,
  Status TEXT,
  ShipToLocation TEXT
);

CREATE TABLE PurchaseOrderItems (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  PO INTEGER,
  Item INTEGER,
  Quantity REAL,
  Received REAL,
  DueDate2 TEXT
);

CREATE TABLE tmpSaldorAvailInv (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  ItemID REAL,
  CustomerPartNumber1 TEXT,
  CustomerPartNumber2 TEXT,
  CustomerPartNumber3 TEXT,
  UOM TEXT,
  RunLotNumber TEXT,
  QtyAvail REAL,
  InProduction REAL,
  DueDate2 TEXT
);

CREATE TABLE Orders (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  OrderNumber TEXT,
  Customer TEXT,
  OrderDate TEXT,
  ShipDate TEXT,
  RequestedShipDate TEXT,
  ETA TEXT,
  ShipTo TEXT,
  ShipToAddress1 TEXT,
  ShipToAddress2 TEXT,
  ShipToCity TEXT,
  ShipToState TEXT,
  ShipToZip TEXT,
  ShipToContact TEXT,
  ShipToPhone TEXT,
  ShipToFax TEXT,
  BillTo TEXT,
  BillToAddress1 TEXT,
  BillToAddress2 TEXT,
  BillToCity TEXT,
  BillToState TEXT,
  BillToZip TEXT,
  BillToContact TEXT,
  BillToPhone TEXT,
  BillToFax TEXT,
  Terms TEXT,
  Status TEXT,
  DateAdded TEXT,
  ShipMethod TEXT,
  SubTotal REAL,
  Freight REAL,
  Miscellaneous REAL,
  DiscountPercent REAL,
  TaxPercent REAL,
  Total REAL,
  EnteredBy TEXT,
  Memo TEXT,
  InvoiceMemo TEXT,
  SalesType TEXT,
  SalesRep TEXT,
  DirectSale INTEGER,
  TotalCost REAL,
  FOB TEXT,
  ProductCategory TEXT,
  RequestedDeliveryDate TEXT,
  Location TEXT,
  FreightTerms TEXT,
  TPBillTo TEXT,
  TPBillToA1 TEXT,
  TPBillToA2 TEXT,
  TPBillToCity TEXT,
  TPBillToState TEXT,
  TPBillToZip TEXT,
  TPContact TEXT,
  TPPhone TEXT,
  TPFax TEXT,
  TPAcctNo TEXT,
  PickTicketPrinted INTEGER,
  Flagged INTEGER,
  ShipFrom TEXT,
  ShipFromAddress TEXT,
  ShipFromCity TEXT,
  ShipFromState TEXT,
  ShipFromZip TEXT,
  Memo2 TEXT,
  OrderType TEXT
);

CREATE TABLE OrderItems (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  OrderID INTEGER,
  ItemNumber TEXT,
  Item INTEGER,
  ItemName TEXT,
  Quantity REAL,
  Shipped REAL,
  Category TEXT,
  PriceEach REAL,
  PriceExt REAL,
  WeightEach REAL,
  WeightExt REAL,
  VendorPartNumber TEXT,
  ItemDescription TEXT,
  CostEach REAL,
  CostExt REAL,
  YardsPerRoll REAL,
  PromiseDate TEXT,
  ItemStatus TEXT,
  ExpectedShipDate TEXT
);

CREATE TABLE Shipment (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  ShipDate TEXT,
  TrackNumber TEXT
);

CREATE TABLE ShipmentItems (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  ShipmentID INTEGER,
  OrderID INTEGER,
  OrderLineItem TEXT,
  Qty REAL
);

CREATE TABLE Invoice (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  Shipment INTEGER
);

CREATE INDEX ItemCustomerPartNumberByParts
  ON ItemCustomerPartNumber (CustomerPartNumber1, CustomerPartNumber2);
CREATE INDEX ItemLocationByItem ON ItemLocation (Item, Location);
CREATE INDEX PurchaseOrderItemsByItem ON PurchaseOrderItems (Item);
CREATE INDEX OrderItemsByOrder ON OrderItems (OrderID);
CREATE INDEX ShipmentItemsByLine ON ShipmentItems (OrderID, OrderLineItem);
CREATE INDEX InvoiceByShipment ON Invoice (Shipment);
