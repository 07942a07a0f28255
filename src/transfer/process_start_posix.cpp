// Starting a detached script on POSIX systems: fork twice so that the script is adopted by the
// system and never becomes this program's zombie, with a close-on-exec pipe that tells the
// program whether the exec succeeded.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "app/run_error.h"
#include "transfer/process_start.h"

extern char** environ;

namespace saldor {
namespace {

std::vector<std::string> MergedEnvironment(
    const std::vector<std::pair<std::string, std::string>>& env) {
  std::vector<std::string> out;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string text(*entry);
    std::string name = text.substr(0, text.find('='));
    bool replaced = false;
    for (const auto& [extraName, value] : env) replaced = replaced || extraName == name;
    if (!replaced) out.push_back(std::move(text));
  }
  for (const auto& [name, value] : env) {
    std::string entry = name;
    entry.append("=").append(value);
    out.push_back(std::move(entry));
  }
  return out;
}

std::vector<char*> Pointers(std::vector<std::string>& items) {
  std::vector<char*> out;
  out.reserve(items.size() + 1);
  for (std::string& item : items) out.push_back(item.data());
  out.push_back(nullptr);
  return out;
}

// The failed start of `script`, with errno's code `error`.
RunError StartError(int error, const std::filesystem::path& script) {
  return SystemError({error, std::system_category()}, "Cannot start the script",
                     {"file: " + script.string()}, script);
}

// Runs in the grandchild, between fork and exec: only async-signal-safe calls.
[[noreturn]] void ExecScript(const char* path, char* const* argv, char* const* envp, int report,
                             int maxDescriptors) {
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  signal(SIGPIPE, SIG_DFL);
  int in = open("/dev/null", O_RDONLY);
  if (in >= 0 && in != STDIN_FILENO) {
    dup2(in, STDIN_FILENO);
    close(in);
  }
  // Nothing the program holds open (database, lock, sockets) may stay open in the script. A
  // kernel without close_range gets the same one descriptor at a time.
  if (close_range(STDERR_FILENO + 1, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
    for (int fd = STDERR_FILENO + 1; fd < maxDescriptors; ++fd) fcntl(fd, F_SETFD, FD_CLOEXEC);
  }
  execve(path, argv, envp);
  int err = errno;
  ssize_t ignored = write(report, &err, sizeof err);
  (void)ignored;
  _exit(127);
}

}  // namespace

std::filesystem::path ScriptPath(const std::filesystem::path& folder, const std::string& baseName) {
  return folder / (baseName + ".sh");
}

void StartDetachedScript(const std::filesystem::path& script, const std::vector<std::string>& args,
                         const std::vector<std::pair<std::string, std::string>>& env) {
  // Everything the child needs is prepared before the fork.
  std::string path = script.string();
  std::vector<std::string> argv{path};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<std::string> envp = MergedEnvironment(env);
  std::vector<char*> argvPointers = Pointers(argv);
  std::vector<char*> envPointers = Pointers(envp);
  const long openMax = sysconf(_SC_OPEN_MAX);
  const int maxDescriptors = openMax > 0 && openMax < 65536 ? static_cast<int>(openMax) : 65536;

  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) throw StartError(errno, script);
  pid_t child = fork();
  if (child < 0) {
    int err = errno;
    close(report[0]);
    close(report[1]);
    throw StartError(err, script);
  }
  if (child == 0) {
    close(report[0]);
    setsid();
    pid_t grandchild = fork();
    if (grandchild < 0) {
      int err = errno;
      ssize_t ignored = write(report[1], &err, sizeof err);
      (void)ignored;
      _exit(127);
    }
    if (grandchild > 0) _exit(0);
    ExecScript(path.c_str(), argvPointers.data(), envPointers.data(), report[1], maxDescriptors);
  }

  close(report[1]);
  int err = 0;
  ssize_t got;
  do {
    got = read(report[0], &err, sizeof err);
  } while (got < 0 && errno == EINTR);
  close(report[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (got == static_cast<ssize_t>(sizeof err)) throw StartError(err, script);
}

}  // namespace saldor
