#ifndef SALDOR_APP_PARTNER_FILES_H_
#define SALDOR_APP_PARTNER_FILES_H_

#include <string>

#include "app/database.h"

namespace saldor {

// The name of the partner's order file for `date`, as it is stored in the program folder:
// "Saldor_to_vendor_07-Dec-2026.csv" (English month abbreviation whatever the locale).
std::string OrderFileName(Date date);

// `name` with the ASCII letters a-z in capitals; every other byte stays as it is. Listed names
// are compared with the order file's name in this form.
std::string UpperAscii(std::string name);

}  // namespace saldor

#endif  // SALDOR_APP_PARTNER_FILES_H_
