// Test helper: starts real processes (POSIX).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "support/process.h"
#include "support/temp_dir.h"

extern char** environ;

namespace saldor::testing {
namespace {

std::vector<std::string> Environment(const std::map<std::string, std::string>& env) {
  std::vector<std::string> out;
  for (char** e = environ; *e != nullptr; ++e) {
    std::string entry(*e);
    std::string name = entry.substr(0, entry.find('='));
    if (env.find(name) == env.end()) out.push_back(entry);
  }
  for (const auto& [name, value] : env) out.push_back(name + "=" + value);
  return out;
}

std::vector<char*> Pointers(std::vector<std::string>& items) {
  std::vector<char*> out;
  for (std::string& s : items) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

// Forks and execs; the child's output goes to `outPath` and `errPath`.
int Spawn(const std::filesystem::path& program, const std::vector<std::string>& args,
          const std::map<std::string, std::string>& env, const std::filesystem::path& outPath,
          const std::filesystem::path& errPath, const std::filesystem::path& workingDir) {
  std::vector<std::string> argv{program.string()};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<std::string> envp = Environment(env);
  std::vector<char*> argvp = Pointers(argv);
  std::vector<char*> envpp = Pointers(envp);
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    setpgid(0, 0);
    int in = open("/dev/null", O_RDONLY);
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (!workingDir.empty() && chdir(workingDir.c_str()) != 0) _exit(126);
    execve(argvp[0], argvp.data(), envpp.data());
    _exit(127);
  }
  return pid;
}

int Decode(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

}  // namespace

ProcessResult RunProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& env,
                         std::chrono::milliseconds limit, const std::filesystem::path& workingDir) {
  TempDir logs("saldor-proc");
  pid_t pid = Spawn(program, args, env, logs / "out", logs / "err", workingDir);
  ProcessResult result;
  auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  for (;;) {
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      result.exitStatus = Decode(status);
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(-pid, SIGKILL);
      waitpid(pid, &status, 0);
      result.timedOut = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  result.out = ReadFile(logs / "out");
  result.err = ReadFile(logs / "err");
  return result;
}

BackgroundProcess::BackgroundProcess(const std::filesystem::path& program,
                                     const std::vector<std::string>& args,
                                     const std::map<std::string, std::string>& env) {
  log_ = std::filesystem::temp_directory_path() /
         ("saldor-bg-" + std::to_string(getpid()) + "-" + std::to_string(std::rand()));
  handle_ = Spawn(program, args, env, log_.string() + ".out", log_.string() + ".err", {});
}

BackgroundProcess::~BackgroundProcess() {
  if (!ended_) {
    kill(-static_cast<pid_t>(handle_), SIGKILL);
    int status = 0;
    waitpid(static_cast<pid_t>(handle_), &status, 0);
  }
  std::error_code ec;
  std::filesystem::remove(log_.string() + ".out", ec);
  std::filesystem::remove(log_.string() + ".err", ec);
}

bool BackgroundProcess::Running() {
  if (ended_) return false;
  int status = 0;
  if (waitpid(static_cast<pid_t>(handle_), &status, WNOHANG) == handle_) {
    ended_ = true;
    status_ = Decode(status);
  }
  return !ended_;
}

int BackgroundProcess::Wait(std::chrono::milliseconds limit) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  while (Running() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return ended_ ? status_ : -1;
}

std::string BackgroundProcess::Output() const {
  return ReadFile(log_.string() + ".out") + ReadFile(log_.string() + ".err");
}

ProcessResult RunProcessAt(const std::string& moment, const std::filesystem::path& program,
                           const std::vector<std::string>& args,
                           std::map<std::string, std::string> env,
                           std::chrono::milliseconds limit) {
  std::vector<std::string> wrapped{"-f", "@" + moment, program.string()};
  wrapped.insert(wrapped.end(), args.begin(), args.end());
  env["DONT_FAKE_MONOTONIC"] = "1";
  return RunProcess("/usr/bin/faketime", wrapped, env, limit);
}

std::filesystem::path InstallIdleUploadScript(const std::filesystem::path& tempFolder) {
  std::filesystem::path script = tempFolder / "fileup.sh";
  WriteFile(script, "#!/bin/sh\nexit 0\n");
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  return script;
}

std::filesystem::path InstallRecordingUploadScript(const std::filesystem::path& tempFolder) {
  std::filesystem::path script = tempFolder / "fileup.sh";
  WriteFile(script, R"script(#!/bin/sh
here=$(dirname "$0")
name=$(basename "$4")
{
  echo "$#"
  for arg in "$@"; do echo "[$arg]"; done
  echo "port=$SALDOR_FTP_PORT"
  echo "session=$(cut -d' ' -f6 /proc/$$/stat)"
} > "$here/$name.part"
mv "$here/$name.part" "$here/$name.args"
tries=0
while [ ! -e "$here/go" ] && [ $tries -lt 3000 ]; do sleep 0.01; tries=$((tries + 1)); done
touch "$here/$name.done"
)script");
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  return script;
}

void ExpectStartedApart(const std::vector<std::string>& recorded) {
  ASSERT_EQ(recorded.size(), 1u);
  EXPECT_EQ(recorded[0].rfind("session=", 0), 0u) << recorded[0];
  EXPECT_NE(recorded[0], "session=" + std::to_string(getsid(0)));  // a session of its own
  errno = 0;
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

bool TakeAwayExecution(const std::filesystem::path& script) {
  std::filesystem::permissions(
      script, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read | std::filesystem::perms::others_read);
  return true;
}

std::filesystem::path AnotherSpelling(const std::filesystem::path& path) {
  return path.parent_path() / "." / path.filename();
}

std::string HostPath(const std::filesystem::path& path) { return path.string(); }

}  // namespace saldor::testing
