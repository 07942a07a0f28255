#ifndef SALDOR_APP_WIDE_TEXT_H_
#define SALDOR_APP_WIDE_TEXT_H_

// Text for the wide (UTF-16) functions of Windows; only the Windows seams and the ODBC side of the
// database layer include this.

#include <string>
#include <string_view>

#include "app/text.h"

namespace saldor {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide text is UTF-16");

// `utf8` as UTF-16; each byte that starts no well-formed sequence becomes U+FFFD.
inline std::wstring Wide(const std::string& utf8) {
  const std::u16string units = Utf16FromUtf8(utf8);
  return std::wstring(units.begin(), units.end());
}

// `utf16` as UTF-8; a surrogate without its partner becomes U+FFFD.
inline std::string Narrow(std::wstring_view utf16) {
  return Utf8FromUtf16(std::u16string(utf16.begin(), utf16.end()));
}

}  // namespace saldor

#endif  // SALDOR_APP_WIDE_TEXT_H_
