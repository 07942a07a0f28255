#ifndef SALDOR_IMPORT_ORDER_FILE_ROW_H_
#define SALDOR_IMPORT_ORDER_FILE_ROW_H_

#include <string>
#include <string_view>
#include <vector>

namespace saldor {

// `OrderFileRow`: the cleaned cells of one data row of the partner's order file. Every cell is
// cleaned by CleanCell; the ship-to ZIP also gets the leading-zero rule. Column numbers are the
// file's, starting at 1.
struct OrderFileRow {
  std::string ColOrderNo;         // 1: partner's order number; empty ends the data
  std::string ColLineNo;          // 2: line number; exactly "1" opens an order
  std::string ColIgnored6;        // 6: read and not used
  std::string ColShipToName;      // 7
  std::string ColShipToAddress1;  // 8
  std::string ColShipToAddress2;  // 9
  std::string ColShipToCity;      // 10
  std::string ColShipToState;     // 11
  std::string ColShipToZip;       // 12: four characters get a "0" in front
  std::string ColBillToAddress1;  // 14
  std::string ColBillToAddress2;  // 15
  std::string ColBillToCity;      // 16
  std::string ColBillToState;     // 17
  std::string ColBillToZip;       // 18: left as it is, whatever its length
  std::string ColVendorPartText;  // 19
  std::string ColCustomerPartNo;  // 21: partner part number, pieces joined by "."
  std::string ColQuantity;        // 23
  std::string ColPriceEach;       // 25
  std::string ColMemo1;           // 27
  std::string ColMemo2;           // 35
};

// The file columns of the two amounts of a line, named in error reports.
inline constexpr int kColQuantity = 23;
inline constexpr int kColPriceEach = 25;

// The cleaned text of a cell: leading and trailing space characters (only U+0020) removed, then
// every apostrophe removed. Trimming comes first, so "' 12" gives " 12".
std::string CleanCell(std::string_view cell);

// The row model of one CSV record. A short record reads its missing cells as empty. A cleaned
// ship-to ZIP of exactly four characters (not bytes) gets a "0" in front; a bill-to ZIP never does.
// A cell it reads that holds a NUL character raises RunError 321 (Invalid file format) naming the
// column; cells it does not read are not looked at.
OrderFileRow ReadOrderFileRow(const std::vector<std::string>& fields);

}  // namespace saldor

#endif  // SALDOR_IMPORT_ORDER_FILE_ROW_H_
