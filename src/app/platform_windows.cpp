// The Windows side of the platform seams.
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "app/platform.h"
#include "app/run_error.h"
#include "app/text.h"
#include "app/wide_text.h"

namespace saldor {

std::filesystem::path ProgramFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) throw SystemError(LastSystemError(), "Cannot find the program folder", {});
    if (n < buffer.size()) {
      buffer.resize(n);
      return std::filesystem::path(buffer).parent_path();
    }
    buffer.resize(buffer.size() * 2);
  }
}

namespace {

// The one spelling of `folder` that every start of the installation shares, however the program
// was started: the path the file system resolves it to (links, short names and the case of each
// name as stored), case-folded, since Windows' file names do not tell case apart. Falls back to
// the absolute path when the folder cannot be opened.
std::wstring CanonicalFolder(const std::filesystem::path& folder) {
  std::error_code ec;
  std::wstring text = std::filesystem::absolute(folder, ec).wstring();
  if (ec) text = folder.wstring();
  HANDLE handle =
      CreateFileW(text.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    std::wstring final(MAX_PATH, L'\0');
    DWORD n = GetFinalPathNameByHandleW(handle, final.data(), static_cast<DWORD>(final.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n >= final.size()) {
      final.resize(n + 1);
      n = GetFinalPathNameByHandleW(handle, final.data(), static_cast<DWORD>(final.size()),
                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    }
    CloseHandle(handle);
    if (n > 0 && n < final.size()) text.assign(final.data(), n);
  }
  // The answer comes as "\\?\C:\..." or "\\?\UNC\server\share\...".
  if (text.rfind(L"\\\\?\\UNC\\", 0) == 0) {
    text = L"\\\\" + text.substr(8);
  } else if (text.rfind(L"\\\\?\\", 0) == 0) {
    text = text.substr(4);
  }
  while (text.size() > 1 && (text.back() == L'\\' || text.back() == L'/')) text.pop_back();
  for (wchar_t& c : text) {
    if (c == L'/') c = L'\\';
  }
  if (!text.empty()) {
    std::wstring folded(text.size(), L'\0');
    int n = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.data(),
                          static_cast<int>(text.size()), folded.data(),
                          static_cast<int>(folded.size()), nullptr, nullptr, 0);
    if (n > 0) text.assign(folded.data(), static_cast<std::size_t>(n));
  }
  return text;
}

// 64-bit FNV-1a of the UTF-16 units, for folder names too long for a mutex name.
std::uint64_t Fingerprint(const std::wstring& text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (wchar_t c : text) {
    hash = (hash ^ static_cast<std::uint16_t>(c)) * 1099511628211ull;
  }
  return hash;
}

}  // namespace

std::unique_ptr<InstanceLock> InstanceLock::TryAcquire(const std::filesystem::path& programFolder) {
  // One system-wide named mutex per installation, named for the folder's canonical form. A mutex
  // name holds no backslash after its namespace and at most MAX_PATH characters; a longer folder
  // goes by its fingerprint.
  std::wstring folder = CanonicalFolder(programFolder);
  for (wchar_t& c : folder) {
    if (c == L'\\') c = L'/';
  }
  std::wstring name = L"Global\\SaldorAuto-" + folder;
  if (name.size() >= MAX_PATH) {
    wchar_t hex[17] = {};
    swprintf(hex, 17, L"%016llx", static_cast<unsigned long long>(Fingerprint(folder)));
    name = L"Global\\SaldorAuto-" + std::wstring(hex);
  }
  HANDLE mutex = CreateMutexW(nullptr, TRUE, name.c_str());
  if (mutex == nullptr) {
    throw SystemError(LastSystemError(), "Cannot take the instance lock",
                      {"folder: " + PathText(programFolder)});
  }
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return nullptr;
  }
  return std::unique_ptr<InstanceLock>(new InstanceLock(reinterpret_cast<intptr_t>(mutex)));
}

InstanceLock::~InstanceLock() { CloseHandle(reinterpret_cast<HANDLE>(handle_)); }

std::error_code LastSystemError() {
  return {static_cast<int>(GetLastError()), std::system_category()};
}

SystemErrorText DescribeSystemError(const std::error_code& error) {
  if (error.category() != std::system_category()) return {"errno", error.message()};
  // WinINet's texts are in its own module, which is there once the FTP client has used it.
  wchar_t* text = nullptr;
  DWORD flags =
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM;
  HMODULE module = GetModuleHandleW(L"wininet.dll");
  if (module != nullptr) flags |= FORMAT_MESSAGE_FROM_HMODULE;
  const DWORD n = FormatMessageW(flags, module, static_cast<DWORD>(error.value()), 0,
                                 reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string out = n > 0 ? Narrow(std::wstring_view(text, n)) : "";
  if (text != nullptr) LocalFree(text);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) {
    out.pop_back();
  }
  return {"Windows error", out};
}

namespace {

// Whether a message box could be seen and acknowledged: the process's window station is an
// interactive one (not that of a task run while nobody is logged on, where a box would wait
// forever), and SALDOR_NO_MESSAGE_BOX is not set (the tests set it: a box under wine on a machine
// with a display would wait for a click).
bool CanShowMessageBox() {
  if (GetEnvironmentVariableW(L"SALDOR_NO_MESSAGE_BOX", nullptr, 0) != 0) return false;
  USEROBJECTFLAGS flags{};
  DWORD needed = 0;
  HWINSTA station = GetProcessWindowStation();
  return station != nullptr &&
         GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, &needed) &&
         (flags.dwFlags & WSF_VISIBLE) != 0;
}

}  // namespace

void ShowMessage(const std::string& title, const std::string& text) {
  // The standard error stream first, so that an unattended run leaves its trace even when the box
  // is never acknowledged.
  std::cerr << text << std::endl;
  if (CanShowMessageBox()) {
    MessageBoxW(nullptr, Wide(text).c_str(), Wide(title).c_str(), MB_OK);
  }
}

void EndProcess(int status) {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  ExitProcess(static_cast<UINT>(status));
}

void EndProcessAbruptly(int status) {
  // Unlike ExitProcess, no DLL is told: a library's detach routine may wait for a thread that is
  // stuck in it.
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
  ExitProcess(static_cast<UINT>(status));  // only should the system refuse
}

}  // namespace saldor
