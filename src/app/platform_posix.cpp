// The POSIX side of the platform seams.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "app/platform.h"
#include "app/run_error.h"

namespace saldor {

std::filesystem::path ProgramFolder() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) throw SystemError(ec, "Cannot find the program folder", {"path: /proc/self/exe"});
  return exe.parent_path();
}

std::unique_ptr<InstanceLock> InstanceLock::TryAcquire(const std::filesystem::path& programFolder) {
  std::filesystem::path path = programFolder / "saldorauto.lock";
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    throw SystemError(LastSystemError(), "Cannot open the instance lock",
                      {"file: " + path.string()}, path);
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const std::error_code error = LastSystemError();
    ::close(fd);
    if (error.value() == EWOULDBLOCK) return nullptr;
    throw SystemError(error, "Cannot take the instance lock", {"file: " + path.string()}, path);
  }
  return std::unique_ptr<InstanceLock>(new InstanceLock(fd));
}

InstanceLock::~InstanceLock() { ::close(static_cast<int>(handle_)); }

std::error_code LastSystemError() { return {errno, std::system_category()}; }

SystemErrorText DescribeSystemError(const std::error_code& error) {
  return {"errno", error.message()};
}

void ShowMessage(const std::string& /*title*/, const std::string& text) {
  std::cerr << text << std::endl;
}

void EndProcess(int status) {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  std::_Exit(status);
}

void EndProcessAbruptly(int status) { ::_exit(status); }

}  // namespace saldor
