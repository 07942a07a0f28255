#ifndef SALDOR_REPORTS_INVENTORY_ALLOCATION_H_
#define SALDOR_REPORTS_INVENTORY_ALLOCATION_H_

#include <string>
#include <string_view>

namespace saldor {

// `value` rounded to two decimal places, an exact half going to the even digit. The value is
// taken at its shortest decimal form ("0.005", "2.675"), so a half that the binary double cannot
// hold exactly still counts as a half.
double RoundToCents(double value);

// One row of the available inventory query, in query order (part numbers, then due date).
struct InventoryRow {
  std::string_view partNumber1;
  std::string_view partNumber2;
  std::string_view partNumber3;  // a missing third part number is given as empty text
  double qtyAvail = 0;           // free stock, 0 when over-committed
  double inProduction = 0;       // the open purchase order quantity of the row, 0 without one
  double addSpokenFor = 0;       // stock spoken for beyond what is on hand (negative), else 0
};

// What one row reports, both quantities rounded to cents. `reported` is false when both are 0:
// the row then gives no record.
struct ReportedQuantities {
  double qtyAvail = 0;
  double inProduction = 0;
  bool reported = false;
};

// Sets stock spoken for beyond what is on hand against the in-production quantities of each part
// group, earliest due date first, walking the rows once.
//
// A part group is a run of consecutive rows with the same three part numbers, compared exactly
// (letter case counts). The group's first row reports the free stock and opens the shortfall
// (minus its addSpokenFor); every row reports what is left of its in-production quantity after
// the shortfall has taken its part. A shortfall left at a group's end is dropped.
class InventoryAllocation {
 public:
  InventoryAllocation() = default;
  InventoryAllocation(const InventoryAllocation&) = delete;
  InventoryAllocation& operator=(const InventoryAllocation&) = delete;

  // Takes the next row in query order and gives what it reports.
  ReportedQuantities Next(const InventoryRow& row);

 private:
  std::string partNumber1_;
  std::string partNumber2_;
  std::string partNumber3_;
  double shortfall_ = 0;
};

}  // namespace saldor

#endif  // SALDOR_REPORTS_INVENTORY_ALLOCATION_H_
