// The Windows side of the platform seams.
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "app/platform.h"
#include "app/run_error.h"
#include "app/wide_text.h"

namespace saldor {

std::filesystem::path ProgramFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) {
      throw RunError(static_cast<int>(GetLastError()), "Cannot find the program folder");
    }
    if (n < buffer.size()) {
      buffer.resize(n);
      return std::filesystem::path(buffer).parent_path();
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::unique_ptr<InstanceLock> InstanceLock::TryAcquire(const std::filesystem::path& programFolder) {
  // One system-wide named mutex per installation: the folder's path, with the characters a mutex
  // name may not hold replaced.
  std::wstring folder = programFolder.wstring();
  for (wchar_t& c : folder) {
    if (c == L'\\') c = L'/';
  }
  std::wstring name = L"Global\\SaldorAuto-" + folder;
  HANDLE mutex = CreateMutexW(nullptr, TRUE, name.c_str());
  if (mutex == nullptr) {
    throw RunError(static_cast<int>(GetLastError()), "Cannot take the instance lock");
  }
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return nullptr;
  }
  return std::unique_ptr<InstanceLock>(new InstanceLock(reinterpret_cast<intptr_t>(mutex)));
}

InstanceLock::~InstanceLock() { CloseHandle(reinterpret_cast<HANDLE>(handle_)); }

void ShowMessage(const std::string& title, const std::string& text) {
  MessageBoxW(nullptr, Wide(text).c_str(), Wide(title).c_str(), MB_OK);
}

void EndProcess(int status) {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  ExitProcess(static_cast<UINT>(status));
}

}  // namespace saldor
