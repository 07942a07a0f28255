#ifndef SALDOR_APP_WIDE_TEXT_H_
#define SALDOR_APP_WIDE_TEXT_H_

// Text for the wide (UTF-16) functions of Windows; only the Windows seams and the ODBC side of the
// database layer include this.

#include <windows.h>

#include <string>
#include <string_view>

namespace saldor {

// `utf8` as UTF-16.
inline std::wstring Wide(const std::string& utf8) {
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

// `utf16` as UTF-8.
inline std::string Narrow(std::wstring_view utf16) {
  const int units = static_cast<int>(utf16.size());
  int n = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), units, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), units, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace saldor

#endif  // SALDOR_APP_WIDE_TEXT_H_
