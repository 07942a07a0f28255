#ifndef SALDOR_APP_PLATFORM_H_
#define SALDOR_APP_PLATFORM_H_

// The seams where the program meets its operating system. Each function here has one
// implementation per platform (platform_posix.cpp, platform_windows.cpp); nothing outside these
// implementations assumes a particular operating system.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace saldor {

// The folder of the running executable itself (links resolved). A copy of the program in another
// folder is another installation, with its own config.txt, temp folder and lock. Raises RunError
// when the system cannot tell.
std::filesystem::path ProgramFolder();

// A lock held for the life of the process, telling whether another instance of the program in the
// same folder is running. Not copyable; releasing it (or the process end) lets the next run in.
class InstanceLock {
 public:
  // Takes the lock for the program installed in `programFolder`. Gives nullptr when another
  // running instance holds it; raises RunError when the lock cannot be tested at all.
  static std::unique_ptr<InstanceLock> TryAcquire(const std::filesystem::path& programFolder);

  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  ~InstanceLock();

 private:
  explicit InstanceLock(intptr_t handle) : handle_(handle) {}
  intptr_t handle_;
};

// The code of the system error the last failed system call on this thread left: errno on POSIX
// systems, GetLastError on Windows (as std::system_category codes).
std::error_code LastSystemError();

// How the system tells of an error code, for a report's detail line.
struct SystemErrorText {
  std::string name;  // what the codes are called: "errno", or "Windows error" for Windows' own
  std::string text;  // the system's text, UTF-8, on one line; "" when it has none
};

// The system's name and text for `error`, a C library code (std::generic_category) or one of the
// system's own (std::system_category).
SystemErrorText DescribeSystemError(const std::error_code& error);

// Shows a message to whoever watches the run and waits until it is acknowledged where the
// platform can wait. On a console it is written to the standard error stream; the title is shown
// where a title can be shown.
void ShowMessage(const std::string& title, const std::string& text);

// Ends the process at once with `status`: no destructor or exit handler runs, output streams are
// flushed first.
[[noreturn]] void EndProcess(int status);

// Ends the process at once with `status`, from any thread, whatever the other threads are doing:
// nothing is flushed and nothing runs (no destructor, exit handler or library's detach routine),
// so that nothing can hold the end up.
[[noreturn]] void EndProcessAbruptly(int status);

}  // namespace saldor

#endif  // SALDOR_APP_PLATFORM_H_
