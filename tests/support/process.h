#ifndef SALDOR_TESTS_SUPPORT_PROCESS_H_
#define SALDOR_TESTS_SUPPORT_PROCESS_H_

#include <chrono>
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

// A real process started in the background, killed (with its process group) at the end unless
// it has ended. For servers and for the second of two concurrent runs.
class BackgroundProcess {
 public:
  BackgroundProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                    const std::map<std::string, std::string>& env = {});
  BackgroundProcess(const BackgroundProcess&) = delete;
  BackgroundProcess& operator=(const BackgroundProcess&) = delete;
  ~BackgroundProcess();

  int pid() const { return pid_; }
  // Waits for the end at most `limit`; gives the exit status, or -1 (killed / still running).
  int Wait(std::chrono::milliseconds limit);
  bool Running();
  // Whatever the process has written to its standard output and error so far.
  std::string Output() const;

 private:
  int pid_ = -1;
  int status_ = -1;
  bool ended_ = false;
  std::filesystem::path log_;
};

// The saldorauto program of this build.
std::filesystem::path ProgramBinary();

// Makes a program folder `folder` holding a copy of the program and a config.txt whose third item
// is `connectionPrefix` (written in double quotes). Gives the path of the copy.
std::filesystem::path InstallProgram(const std::filesystem::path& folder,
                                     const std::string& connectionPrefix);

}  // namespace saldor::testing

#endif  // SALDOR_TESTS_SUPPORT_PROCESS_H_
