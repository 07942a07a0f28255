#ifndef SALDOR_APP_PARTNER_FILES_H_
#define SALDOR_APP_PARTNER_FILES_H_

// The names of the files exchanged with the partner, in one place for every room: the exports
// write the outbound ones, the download stores the inbound one and the import reads it.

#include <string>

#include "app/calendar.h"

namespace saldor {

// The available inventory file, in the temp folder.
inline constexpr char kAvailableInventoryFileName[] = "saldor_available_inventory.csv";

// The order status file of the run of `runDate`, in the temp folder: it carries the next day,
// "Vendor_to_saldor_08-Dec-2026.csv" for the run of 7 December 2026.
std::string OrderStatusFileName(Date runDate);

// The name of the partner's order file for `date`, as it is stored in the program folder:
// "Saldor_to_vendor_07-Dec-2026.csv" (English month abbreviation whatever the locale).
std::string OrderFileName(Date date);

}  // namespace saldor

#endif  // SALDOR_APP_PARTNER_FILES_H_
