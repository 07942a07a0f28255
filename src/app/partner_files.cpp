#include "app/partner_files.h"

#include "app/dates.h"

namespace saldor {

std::string OrderFileName(Date date) {
  return "Saldor_to_vendor_" + FormatDdMmmYyyy(date) + ".csv";
}

std::string UpperAscii(std::string name) {
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return name;
}

}  // namespace saldor
