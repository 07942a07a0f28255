// Test helper: starts real processes (Windows, and Windows programs under wine).
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <stdexcept>
#include <string>

#include "support/process.h"
#include "support/temp_dir.h"

namespace saldor::testing {
namespace {

std::wstring Wide(const std::string& utf8) {
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string Narrow(const std::wstring& wide) {
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

// One argument as the C runtime of the started program splits its command line.
std::wstring Quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

// The current environment with `env` laid over it, as a block for CreateProcessW. A run never
// waits on a message box here (see ShowMessage).
std::wstring EnvironmentBlock(std::map<std::string, std::string> env) {
  env.emplace("SALDOR_NO_MESSAGE_BOX", "1");
  std::wstring block;
  wchar_t* current = GetEnvironmentStringsW();
  for (const wchar_t* entry = current; *entry != L'\0'; entry += wcslen(entry) + 1) {
    std::wstring text(entry);
    std::string name = Narrow(text.substr(0, text.find(L'=', 1)));
    bool replaced = false;
    for (const auto& extra : env) {
      replaced = replaced || _wcsicmp(Wide(extra.first).c_str(), Wide(name).c_str()) == 0;
    }
    if (!replaced) block += text + L'\0';
  }
  FreeEnvironmentStringsW(current);
  for (const auto& [name, value] : env) block += Wide(name + "=" + value) + L'\0';
  return block + L'\0';
}

HANDLE OutputFile(const std::filesystem::path& path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + path.string());
  return file;
}

// Starts `program` (a batch file through the command processor) with its output going to
// `outPath` and `errPath`; gives the process handle.
HANDLE Spawn(const std::filesystem::path& program, const std::vector<std::string>& args,
             const std::map<std::string, std::string>& env, const std::filesystem::path& outPath,
             const std::filesystem::path& errPath, const std::filesystem::path& workingDir) {
  std::wstring line = Quoted(program.wstring());
  for (const std::string& arg : args) line += L" " + Quoted(Wide(arg));
  std::wstring extension = program.extension().wstring();
  if (_wcsicmp(extension.c_str(), L".bat") == 0 || _wcsicmp(extension.c_str(), L".cmd") == 0) {
    line = L"cmd.exe /d /c \"" + line + L"\"";
  }
  std::wstring environment = EnvironmentBlock(env);

  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE in = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                          OPEN_EXISTING, 0, nullptr);
  HANDLE out = OutputFile(outPath);
  HANDLE err = OutputFile(errPath);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  BOOL started = CreateProcessW(
      nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW,
      environment.data(), workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &process);
  DWORD error = GetLastError();
  CloseHandle(in);
  CloseHandle(out);
  CloseHandle(err);
  if (!started) {
    throw std::runtime_error("cannot start " + program.string() + ": error " +
                             std::to_string(error));
  }
  CloseHandle(process.hThread);
  return process.hProcess;
}

// Waits for `process` at most `limit`; gives its exit status, or -1 when it is still running.
int WaitForExit(HANDLE process, std::chrono::milliseconds limit) {
  if (WaitForSingleObject(process, static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) return -1;
  DWORD status = 0;
  GetExitCodeProcess(process, &status);
  return static_cast<int>(status);
}

// What a program wrote in text mode, with its line ends as "\n".
std::string TextOutput(const std::filesystem::path& path) {
  std::string text = ReadFile(path);
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' || i + 1 >= text.size() || text[i + 1] != '\n') out += text[i];
  }
  return out;
}

}  // namespace

ProcessResult RunProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& env,
                         std::chrono::milliseconds limit, const std::filesystem::path& workingDir) {
  TempDir logs("saldor-proc");
  ProcessResult result;
  {
    HANDLE process = Spawn(program, args, env, logs / "out", logs / "err", workingDir);
    result.exitStatus = WaitForExit(process, limit);
    if (result.exitStatus == -1) {
      TerminateProcess(process, 1);
      WaitForSingleObject(process, INFINITE);
      result.timedOut = true;
    }
    CloseHandle(process);
  }
  result.out = TextOutput(logs / "out");
  result.err = TextOutput(logs / "err");
  return result;
}

ProcessResult RunProcessAt(const std::string& moment, const std::filesystem::path& program,
                           const std::vector<std::string>& args,
                           std::map<std::string, std::string> env,
                           std::chrono::milliseconds limit) {
  // libfaketime through the environment, as the faketime command sets it. Under wine 8 it does
  // not reach the started program, which then runs on today's date: the one test that needs a
  // set date is left out under wine (scripts/test.sh).
  env["LD_PRELOAD"] = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1";
  env["FAKETIME"] = "@" + moment;
  env["DONT_FAKE_MONOTONIC"] = "1";
  return RunProcess(program, args, env, limit);
}

std::filesystem::path InstallIdleUploadScript(const std::filesystem::path& tempFolder) {
  std::filesystem::path script = tempFolder / "fileup.bat";
  WriteFile(script, "@echo off\r\nexit /b 0\r\n");
  return script;
}

std::filesystem::path InstallRecordingUploadScript(const std::filesystem::path& tempFolder) {
  std::filesystem::path script = tempFolder / "fileup.bat";
  // The count from %* (the arguments hold no blanks outside quotes, nor wildcards); a line at a
  // time into the file (wine's command processor does not redirect a bracketed block); the pause
  // through ping, one echo a second.
  WriteFile(script,
            "@echo off\r\n"
            "setlocal EnableExtensions DisableDelayedExpansion\r\n"
            "set \"here=%~dp0\"\r\n"
            "set \"name=%~nx4\"\r\n"
            "set count=0\r\n"
            "for %%a in (%*) do set /a count+=1\r\n"
            "set \"part=%here%%name%.part\"\r\n"
            "> \"%part%\" echo %count%\r\n"
            ">> \"%part%\" echo [%~1]\r\n"
            ">> \"%part%\" echo [%~2]\r\n"
            ">> \"%part%\" echo [%~3]\r\n"
            ">> \"%part%\" echo [%~4]\r\n"
            ">> \"%part%\" echo port=%SALDOR_FTP_PORT%\r\n"
            "move /y \"%part%\" \"%here%%name%.args\" >nul\r\n"
            "set tries=0\r\n"
            ":wait\r\n"
            "if exist \"%here%go\" goto done\r\n"
            "if %tries% geq 30 goto done\r\n"
            "ping -n 2 127.0.0.1 >nul 2>&1\r\n"
            "set /a tries+=1\r\n"
            "goto wait\r\n"
            ":done\r\n"
            "type nul > \"%here%%name%.done\"\r\n");
  return script;
}

void ExpectStartedApart(const std::vector<std::string>& recorded) {
  EXPECT_EQ(recorded, std::vector<std::string>{});
}

bool TakeAwayExecution(const std::filesystem::path&) { return false; }

std::filesystem::path AnotherSpelling(const std::filesystem::path& path) {
  std::wstring text = std::filesystem::absolute(path).wstring();
  CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

std::string HostPath(const std::filesystem::path& path) {
  using UnixFileName = char*(__cdecl*)(const wchar_t*);
  static const auto unixFileName = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (unixFileName == nullptr) return Narrow(std::filesystem::absolute(path).wstring());
  char* name = unixFileName(std::filesystem::absolute(path).c_str());
  if (name == nullptr) throw std::runtime_error("no unix path for " + path.string());
  std::string out(name);
  HeapFree(GetProcessHeap(), 0, name);
  return out;
}

BackgroundProcess::BackgroundProcess(const std::filesystem::path& program,
                                     const std::vector<std::string>& args,
                                     const std::map<std::string, std::string>& env) {
  std::random_device random;
  log_ = std::filesystem::temp_directory_path() /
         ("saldor-bg-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(random()));
  handle_ = reinterpret_cast<std::intptr_t>(
      Spawn(program, args, env, log_.string() + ".out", log_.string() + ".err", {}));
}

BackgroundProcess::~BackgroundProcess() {
  HANDLE process = reinterpret_cast<HANDLE>(handle_);
  if (!ended_) {
    TerminateProcess(process, 1);
    WaitForSingleObject(process, INFINITE);
  }
  CloseHandle(process);
  std::error_code ec;
  std::filesystem::remove(log_.string() + ".out", ec);
  std::filesystem::remove(log_.string() + ".err", ec);
}

bool BackgroundProcess::Running() {
  if (ended_) return false;
  int status = WaitForExit(reinterpret_cast<HANDLE>(handle_), std::chrono::milliseconds(0));
  if (status != -1) {
    ended_ = true;
    status_ = status;
  }
  return !ended_;
}

int BackgroundProcess::Wait(std::chrono::milliseconds limit) {
  if (!ended_) {
    int status = WaitForExit(reinterpret_cast<HANDLE>(handle_), limit);
    if (status != -1) {
      ended_ = true;
      status_ = status;
    }
  }
  return ended_ ? status_ : -1;
}

std::string BackgroundProcess::Output() const {
  return TextOutput(log_.string() + ".out") + TextOutput(log_.string() + ".err");
}

}  // namespace saldor::testing
