// Starting a detached script on Windows: the batch file runs through the command processor in a
// console of its own, minimized, and is not waited for.
#include <windows.h>

#include <cwctype>
#include <string>

#include "app/run_error.h"
#include "app/text.h"
#include "app/wide_text.h"
#include "transfer/process_start.h"

namespace saldor {
namespace {

// An argument as the command processor reads it: in double quotes when it is a path or holds a
// blank or a character the command processor would take for its own. The upload script thus gets
// the host, the account and the password as they are and the file's path in quotes.
std::wstring Quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t&|<>^()%!,;=\"\\/:") == std::wstring::npos) {
    return arg;
  }
  return L"\"" + arg + L"\"";
}

// The program's environment with `env` laid over it, as a block for CreateProcessW.
std::wstring EnvironmentBlock(const std::vector<std::pair<std::string, std::string>>& env) {
  std::wstring block;
  wchar_t* current = GetEnvironmentStringsW();
  for (const wchar_t* entry = current; entry != nullptr && *entry != L'\0';
       entry += wcslen(entry) + 1) {
    std::wstring text(entry);
    std::wstring name = text.substr(0, text.find(L'=', 1));
    bool replaced = false;
    for (const auto& [extraName, value] : env) {
      replaced = replaced || _wcsicmp(Wide(extraName).c_str(), name.c_str()) == 0;
    }
    if (!replaced) block += text + L'\0';
  }
  if (current != nullptr) FreeEnvironmentStringsW(current);
  for (const auto& [name, value] : env) block += Wide(name) + L"=" + Wide(value) + L'\0';
  block += L'\0';
  return block;
}

// The failed start of `script`, with the system's code `error`.
RunError StartError(DWORD error, const std::filesystem::path& script) {
  return SystemError({static_cast<int>(error), std::system_category()}, "Cannot start the script",
                     {"file: " + PathText(script)}, script);
}

}  // namespace

std::filesystem::path ScriptPath(const std::filesystem::path& folder, const std::string& baseName) {
  return folder / (baseName + ".bat");
}

void StartDetachedScript(const std::filesystem::path& script, const std::vector<std::string>& args,
                         const std::vector<std::pair<std::string, std::string>>& env) {
  // The command processor starts even when the batch file is missing; that is a failed start.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(script, ec)) throw StartError(ERROR_FILE_NOT_FOUND, script);

  wchar_t comspec[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"ComSpec", comspec, MAX_PATH) == 0) {
    wcscpy_s(comspec, L"C:\\Windows\\System32\\cmd.exe");
  }
  // cmd /c ""<script>" <arg> ... ": the outer quotes keep the inner ones as they are.
  std::wstring line = L"\"" + std::wstring(comspec) + L"\" /c \"\"" + script.wstring() + L"\"";
  for (const std::string& arg : args) line += L" " + Quoted(Wide(arg));
  line += L"\"";
  std::wstring environment = EnvironmentBlock(env);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINIMIZED;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(comspec, line.data(), nullptr, nullptr, FALSE,
                      CREATE_NEW_CONSOLE | CREATE_NEW_PROCESS_GROUP | CREATE_UNICODE_ENVIRONMENT,
                      environment.data(), nullptr, &startup, &process)) {
    throw StartError(GetLastError(), script);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace saldor
