-- A small demo data set for the SQL Server business database, the same as the embedded
-- database's: fabrics mapped to the partner's part numbers, stock at the warehouse, open purchase
-- orders, and partner orders in several states of shipment. Dates relative to today keep the
-- demo meaningful on any day.

SET NOCOUNT ON;

DECLARE @today datetime = CAST(CAST(GETDATE() AS date) AS datetime);

SET IDENTITY_INSERT Item ON;
INSERT INTO Item (ID, Name, Category, Weight, VendorPartNumber, LandedCost, YardsPerRoll, Inactive) VALUES
  (101, 'Canvas Natural 10oz', 'CANVAS', 0.62, 'VN-CAN-10-NAT', 3.15, 60, 0),
  (102, 'Canvas Black 10oz', 'CANVAS', 0.62, 'VN-CAN-10-BLK', 3.40, 60, 0),
  (103, 'Twill Khaki 7oz', 'TWILL', 0.44, 'VN-TWL-07-KHA', 2.05, 80, NULL),
  (104, 'Denim Indigo 12oz', 'DENIM', 0.75, 'VN-DEN-12-IND', 4.10, 50, 0),
  (105, 'Poplin White 4oz', 'POPLIN', 0.25, 'VN-POP-04-WHT', 1.35, 100, 0),
  (106, 'Duck Olive 12oz (discontinued)', 'CANVAS', 0.78, 'VN-DCK-12-OLV', 3.90, 50, 1),
  (107, 'Jersey Heather Grey', 'KNIT', 0.30, 'VN-JRS-HGR', 2.60, 40, 0),
  (3833, 'Saldor Item Not Found', 'OTHER', 0, '', 0, 0, 0);
SET IDENTITY_INSERT Item OFF;

-- Customer 645 is the partner; customer 12 is another customer sharing one mapping.
INSERT INTO ItemCustomerPartNumber (ItemID, CustomerID, CustomerPartNumber1, CustomerPartNumber2, CustomerPartNumber3) VALUES
  (101, 645, 'CAN10', 'NAT', ''),
  (102, 645, 'CAN10', 'BLK', ''),
  (103, 645, 'TWL07', 'KHA', 'W58'),
  (104, 645, 'DEN12', 'IND', ''),
  (105, 645, 'POP04', 'WHT', ''),
  (106, 645, 'DCK12', 'OLV', ''),
  (107, 12, 'JRS', 'HGR', '');

INSERT INTO ItemLocation (Item, Location, Quantity, SpokenFor) VALUES
  (101, 'RVL - MS', 1250.5, 200),
  (102, 'RVL - MS', 10, 25),
  (103, 'RVL - MS', 480, 480),
  (104, 'RVL - MS', 3200, 150.25),
  (105, 'RVL - MS', 0.004, 0),
  (106, 'RVL - MS', 90, 0),
  (101, 'NJ - WH', 700, 0);

INSERT INTO PurchaseOrder (PO, Status, ShipToLocation) VALUES
  (5001, 'Open', 'RVL - MS'),
  (5002, 'Open', 'RVL - MS'),
  (5003, 'Closed', 'RVL - MS'),
  (5004, 'Open', 'NJ - WH');

INSERT INTO PurchaseOrderItems (PO, Item, Quantity, Received, DueDate2) VALUES
  (5001, 102, 10, 0, DATEADD(day, 20, @today)),
  (5001, 102, 20, 0, DATEADD(day, 50, @today)),
  (5002, 102, 5, NULL, DATEADD(day, 80, @today)),
  (5002, 103, 600, 100, DATEADD(day, 35, @today)),
  (5002, 104, 1000, 1000, DATEADD(day, 10, @today)),
  (5003, 101, 900, 0, DATEADD(day, 15, @today)),
  (5004, 101, 300, 0, DATEADD(day, 25, @today));

-- Partner orders already in the system, in several states.
SET IDENTITY_INSERT Orders ON;
INSERT INTO Orders (ID, OrderNumber, Customer, OrderDate, Status, SubTotal, Total, TotalCost) VALUES
  (9001, '4500012', 'SALDOR CONTRACT', DATEADD(day, -12, @today), 'Open', 0, 0, 0),
  (9002, '4500013', 'SALDOR CONTRACT', DATEADD(day, -5, @today), 'Closed', 0, 0, 0),
  (9003, 'SAMPLE-7', 'SALDOR CONTRACT', DATEADD(day, -3, @today), 'Open', 0, 0, 0),
  (9004, '4500099', 'OTHER CUSTOMER', DATEADD(day, -3, @today), 'Open', 0, 0, 0);
SET IDENTITY_INSERT Orders OFF;

INSERT INTO OrderItems (OrderID, ItemNumber, Item, ItemName, Quantity, Shipped, ItemStatus, ExpectedShipDate) VALUES
  (9001, '1', 101, 'Canvas Natural 10oz', 300, 120, 'CONFIRMED-IN STOCK', DATEADD(day, 2, @today)),
  (9001, '2', 104, 'Denim Indigo 12oz', 150, 0, 'CONFIRMED-IN STOCK', DATEADD(day, 4, @today)),
  (9001, '10', 103, 'Twill Khaki 7oz', 80, 80, 'SHIPPED', DATEADD(day, -1, @today)),
  (9002, '1', 102, 'Canvas Black 10oz', 40, 40, 'SHIPPED', @today),
  (9003, '1', 105, 'Poplin White 4oz', 10, 0, NULL, DATEADD(day, 7, @today)),
  (9004, '1', 101, 'Canvas Natural 10oz', 55, 0, 'CONFIRMED-IN STOCK', DATEADD(day, 1, @today));

SET IDENTITY_INSERT Shipment ON;
INSERT INTO Shipment (ID, ShipDate, TrackNumber) VALUES
  (7001, DATEADD(day, -6, @today), '1Z999AA10123456784'),
  (7002, DATEADD(day, -2, @today), NULL),
  (7003, @today, '1Z999AA10123456791');
SET IDENTITY_INSERT Shipment OFF;

INSERT INTO ShipmentItems (ShipmentID, OrderID, OrderLineItem, Qty) VALUES
  (7001, 9001, '1', 70),
  (7002, 9001, '1', 50),
  (7003, 9001, '10', 80),
  (7003, 9002, '1', 40);

SET IDENTITY_INSERT Invoice ON;
INSERT INTO Invoice (ID, Shipment) VALUES
  (880001, 7001),
  (880003, 7003);
SET IDENTITY_INSERT Invoice OFF;
GO
