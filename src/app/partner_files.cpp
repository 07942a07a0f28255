#include "app/partner_files.h"

#include "app/dates.h"

namespace saldor {

std::string OrderStatusFileName(Date runDate) {
  return "Vendor_to_saldor_" + FormatDdMmmYyyy(AddDays(runDate, 1)) + ".csv";
}

std::string OrderFileName(Date date) {
  return "Saldor_to_vendor_" + FormatDdMmmYyyy(date) + ".csv";
}

}  // namespace saldor
