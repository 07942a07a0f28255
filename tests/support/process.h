#ifndef SALDOR_TESTS_SUPPORT_PROCESS_H_
#define SALDOR_TESTS_SUPPORT_PROCESS_H_

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace saldor::testing {

struct ProcessResult {
  int exitStatus = -1;  // the exit status; -1 when killed by a signal or by the time limit
  bool timedOut = false;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs `program` with `args`, the current environment plus `env` (a value replaces one of the
// same name), in `workingDir` (the current folder when empty), and waits for it at most `limit`
// (then kills it). Standard input is empty.
ProcessResult RunProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& env = {},
                         std::chrono::milliseconds limit = std::chrono::seconds(60),
                         const std::filesystem::path& workingDir = {});

// A real process started in the background, killed (with its process group where the platform
// has one) at the end unless it has ended. For servers and for the second of two concurrent runs.
class BackgroundProcess {
 public:
  BackgroundProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                    const std::map<std::string, std::string>& env = {});
  BackgroundProcess(const BackgroundProcess&) = delete;
  BackgroundProcess& operator=(const BackgroundProcess&) = delete;
  ~BackgroundProcess();

  // Waits for the end at most `limit`; gives the exit status, or -1 (killed / still running).
  int Wait(std::chrono::milliseconds limit);
  bool Running();
  // Whatever the process has written to its standard output and error so far.
  std::string Output() const;

 private:
  std::intptr_t handle_ = -1;  // the process id on POSIX systems, the process handle on Windows
  int status_ = -1;
  bool ended_ = false;
  std::filesystem::path log_;
};

// Runs `program` like RunProcess with the clock of the run set to `moment` ("2026-12-31
// 10:00:00", local time) through libfaketime; monotonic clocks are left alone.
ProcessResult RunProcessAt(const std::string& moment, const std::filesystem::path& program,
                           const std::vector<std::string>& args,
                           std::map<std::string, std::string> env = {},
                           std::chrono::milliseconds limit = std::chrono::seconds(60));

// `path` as the programs of the host system see it, for a program or a driver that is not itself
// a Windows program under wine (the FTP server, the SQLite driver behind wine's ODBC): under wine
// the path on the unix side, elsewhere the path as it is (UTF-8).
std::string HostPath(const std::filesystem::path& path);

// Writes an upload script into `tempFolder` that does nothing and ends with status 0: fileup.sh
// (executable) on POSIX systems, fileup.bat on Windows. Gives its path.
std::filesystem::path InstallIdleUploadScript(const std::filesystem::path& tempFolder);

// Writes an upload script into `tempFolder` that records how it was called, fileup.sh
// (executable) on POSIX systems and fileup.bat on Windows, and gives its path. Each call writes
// "<file name of its 4th argument>.args" beside itself, whole (under another name first, then
// renamed): the number of arguments, each argument in brackets, and "port=" with SALDOR_FTP_PORT,
// one a line, then any lines of ExpectStartedApart. It then waits for a file "go" beside itself
// (at most 30 s) and writes "<name>.done".
std::filesystem::path InstallRecordingUploadScript(const std::filesystem::path& tempFolder);

// Checks, as test assertions, that the scripts this process started run apart from it, given the
// lines a recording script wrote after its port line. POSIX systems: one line "session=<id>", a
// session other than this process's, and no child is left for this process to reap. Windows has
// neither sessions nor children to reap: there are no such lines.
void ExpectStartedApart(const std::vector<std::string>& recorded);

// Takes the right to be started away from the script `script`; false where the platform has no
// such right (Windows, where the command processor only reads a batch file).
bool TakeAwayExecution(const std::filesystem::path& script);

// Another spelling of the path of the existing file `path`, naming the same file: upper case
// on Windows, whose file names do not tell case apart; with a "." folder step elsewhere.
std::filesystem::path AnotherSpelling(const std::filesystem::path& path);

// The saldorauto program of this build.
std::filesystem::path ProgramBinary();

// Makes a program folder `folder` holding a copy of the program (under the name it has in the
// build, "saldorauto" or "saldorauto.exe") and a config.txt whose third item is
// `connectionPrefix` (written in double quotes). Gives the path of the copy.
std::filesystem::path InstallProgram(const std::filesystem::path& folder,
                                     const std::string& connectionPrefix);

}  // namespace saldor::testing

#endif  // SALDOR_TESTS_SUPPORT_PROCESS_H_
